#!/usr/bin/env bash
# Runs every test of the Windows build under Wine, inside a private X display (Xvfb), with the same
# pass/fail rules as on Linux (CTest; a test that cannot run under Wine skips and says why).
# Builds first when build-win/ has no build. Extra arguments go to ctest (e.g. -R TestPasos).
set -euo pipefail
raiz="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$raiz"
obra="$raiz/build-win"
[ -f "$obra/CTestTestfile.cmake" ] || bash scripts/windows/build.sh

export WINEPREFIX="$obra/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64

# Private display for the Windows programs' windows.
pantalla=""
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then pantalla=$n; break; fi
done
[ -n "$pantalla" ] || { echo "test-win: no hay número de pantalla libre para Xvfb" >&2; exit 1; }
Xvfb ":$pantalla" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
terminar() {
  WINEPREFIX="$WINEPREFIX" /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap terminar EXIT
export DISPLAY=":$pantalla"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$pantalla" ] && break; sleep 0.1; done

# The Wine prefix, made once per build folder: a Windows with Tahoma (every Windows has it) but
# without Times New Roman and Calibri, so the program's metric twins are what the report uses.
if [ ! -f "$WINEPREFIX/.preparado" ]; then
  echo "test-win: preparando el prefijo de Wine ($(date -u +%H:%M:%S))"
  rm -rf "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1
  cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  /usr/lib/wine/wineserver -w
  touch "$WINEPREFIX/.preparado"
fi
# Two settings of the prefix's user: without a console window, Qt Test and Qt's messages go to the
# Windows debugger instead of stdout and stderr (Wine passes no QT_ variable from here, so the
# user environment sets it, and the tests' output lands in CTest's log as on Linux); and Wine's
# own visual theme paints a ticked and an empty check box alike, so the prefix uses the classic
# look, which Wine draws like Windows.
if [ ! -f "$WINEPREFIX/.ajustes-usuario" ]; then
  "$wine" reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /d 1 /f >/dev/null 2>&1
  "$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 0 /f \
    >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  touch "$WINEPREFIX/.ajustes-usuario"
fi

# One Wine server for the whole run; one test at a time, since the windows of two programs in one
# display would take each other's keyboard focus.
/usr/lib/wine/wineserver -p
# Wine's own background services start with the first program and keep its standard output open;
# started here without pipes, they never hold a test's output open.
"$wine" cmd /c exit </dev/null >/dev/null 2>&1
inicio=$(date +%s)
estado=0
# The slowest test takes under 90 s under Wine; one that hangs is stopped after 300.
ctest --test-dir "$obra" --output-on-failure --timeout 300 "$@" || estado=$?
echo "test-win: pruebas bajo Wine en $(($(date +%s) - inicio)) s"

# The Windows tools against the Linux ones (needs the Linux build in build/, as scripts/test.sh makes).
if [ $# -eq 0 ]; then
  if [ -x "$raiz/build/tools/jetsql/jetsql" ]; then
    inicio=$(date +%s)
    bash scripts/windows/compara-linux.sh || estado=1
    echo "test-win: comparación con Linux en $(($(date +%s) - inicio)) s"
    # The window as a user goes through it: login, detection, ticks, preview and PDF export.
    inicio=$(date +%s)
    bash scripts/windows/ventana.sh "$obra/capturas" || estado=1
    echo "test-win: recorrido de la ventana en $(($(date +%s) - inicio)) s (capturas en $obra/capturas)"
    # The consolidation window the same way: two branches, a PEP ticked, the consolidated PDF.
    inicio=$(date +%s)
    bash scripts/windows/ventana-sucursales.sh "$obra/capturas-sucursales" || estado=1
    echo "test-win: recorrido de la ventana de sucursales en $(($(date +%s) - inicio)) s"
  else
    echo "test-win: sin build/ de Linux (bash scripts/build.sh), no se compara con Linux"
  fi
  # The installer as IT uses it: silent install into a sample Tavoro folder, the program started,
  # silent uninstall, the Tavoro folder as it was and nothing of ours left.
  inicio=$(date +%s)
  bash scripts/windows/instalador.sh "$obra/capturas-instalador" || estado=1
  echo "test-win: instalador en $(($(date +%s) - inicio)) s"
fi
exit "$estado"
