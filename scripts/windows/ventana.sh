#!/usr/bin/env bash
# Runs the shipped CuestionarioQRTZ.exe under Wine in a private X display, in a sample Tavoro folder,
# and goes through login, detection, ticking and the report preview like a user (xdotool), saving a
# screenshot of the display at each step into the folder given (default build-win/capturas).
# Needs scripts/windows/build.sh and the Wine prefix of scripts/windows/test.sh.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/../.." && pwd)"
obra="$raiz/build-win"
salida="${1:-$obra/capturas}"
mkdir -p "$salida"
export WINEPREFIX="$obra/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64

tmp="$(mktemp -d)"
carpeta="$tmp/Tavoro"
"$raiz/scripts/windows/wine-ejecuta.sh" "$obra/dist/CuestionarioQRTZ/mdbgen.exe" sample "$carpeta" >/dev/null 2>&1
cp -r "$obra/dist/CuestionarioQRTZ/." "$carpeta/"

pantalla=""
for n in $(seq 141 190); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then pantalla=$n; break; fi
done
Xvfb ":$pantalla" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$pantalla"
terminar() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap terminar EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$pantalla" ] && break; sleep 0.1; done

n=0
foto() { n=$((n + 1)); import -window root "$salida/$(printf '%02d' $n)-$1.png"; echo "ventana: $salida/$(printf '%02d' $n)-$1.png"; }
espera_ventana() { xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1; }
clic() { # window x y (client coordinates)
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep "${4:-1}"
}

# Started from its own folder, with no environment besides Wine's: as a user starts it.
(cd "$carpeta" && "$wine" "$carpeta/CuestionarioQRTZ.exe" >/dev/null 2>&1 &)
sleep 8
foto inicio-indicaciones
xdotool key Return
sleep 2
v="$(espera_ventana "Cuestionario QRTZ 2019")"
foto ventana
xdotool windowactivate --sync "$v" 2>/dev/null || true
clic "$v" 360 114 0.5
xdotool type --delay 80 ADMIN
clic "$v" 360 143 0.5
xdotool type --delay 80 ADMIN
foto acceso
clic "$v" 530 243 8
foto deteccion
# Tick the first two clients in the mark column.
clic "$v" 130 430 1
clic "$v" 130 447 1
foto marcados
clic "$v" 564 594 3
foto instrucciones-reporte
xdotool key Return
sleep 15
foto vista-previa
