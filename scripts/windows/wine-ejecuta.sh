#!/usr/bin/env bash
# Runs one Windows program under Wine with the DLLs of the Windows build on its path; CTest uses it
# for every test of build-win/ (CMAKE_CROSSCOMPILING_EMULATOR). The Wine prefix and the display
# come from scripts/windows/test.sh (WINEPREFIX, DISPLAY); the exit code is the program's.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/../.." && pwd)"
cache="${QRTZ_WIN_CACHE:-/var/cache/cuestionarioqrtz-win}"
export WINEPREFIX="${WINEPREFIX:-$raiz/build-win/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
gcc_dir="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
ruta_win() { echo "Z:${1//\//\\}"; }
export WINEPATH="$(ruta_win "$cache/qt6/bin");$(ruta_win "$cache/libs/bin");$(ruta_win "$gcc_dir");$(ruta_win /usr/x86_64-w64-mingw32/lib)"
# Wine passes no QT_ variable to the program; unset anyway, so the Windows platform (inside the X
# display) serves every test, as it serves users.
unset QT_QPA_PLATFORM
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"
exec "$wine" "$@"
