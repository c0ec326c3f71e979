#!/usr/bin/env bash
# Runs one Windows test program under Wine; CTest uses it for every test of build-win/
# (CMAKE_CROSSCOMPILING_EMULATOR). The Wine prefix and the display come from
# scripts/windows/test.sh (WINEPREFIX, DISPLAY); the exit code is the program's.
#
# One exception, and only for what Wine does after the program has ended: once a process's last
# Windows thread is gone, the Wine server gives its Unix side one second to finish and then kills
# it with SIGKILL, so on a busy machine a test that ran to its end can come back "killed" and its
# exit code is lost. When that happens after Qt Test printed its closing lines, the result is the
# one those lines give (the failures they count). A program killed before that stays a failure.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/../.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$raiz/build-win/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Wine passes no QT_ variable to the program; unset anyway, so the Windows platform (inside the X
# display) serves every test, as it serves users.
unset QT_QPA_PLATFORM
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"

salida="$(mktemp)"
trap 'rm -f "$salida"' EXIT
estado=0
"$wine" "$@" 2>&1 | tee "$salida" || estado=${PIPESTATUS[0]}
if [ "$estado" -eq 137 ] && grep -q '^\*\*\*\*\*\*\*\*\* Finished testing of ' "$salida"; then
  fallidas="$(sed -n 's/^Totals: [0-9]* passed, \([0-9]*\) failed,.*/\1/p' "$salida" | tail -n 1)"
  if [ -n "$fallidas" ]; then
    echo "wine-ejecuta: Wine mató el proceso (SIGKILL) después de terminar las pruebas;" \
      "vale el resultado de Qt Test: $fallidas fallidas"
    [ "$fallidas" -eq 0 ] && estado=0 || estado=1
  fi
fi
exit "$estado"
