#!/usr/bin/env bash
# Screenshots of the real program for the README: the main window after a detection, the
# report preview and report pages, made over the sample Tavoro folder (written if missing).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
carpeta=${CARPETA_TAVORO:-$PWD/sample/Tavoro}
[ -e "$carpeta/DataBase/Tavoro.mdb" ] || build/tools/mdbgen/mdbgen sample "$carpeta"
xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/capturas/capturas "$carpeta" docs/capturas
ls -l docs/capturas
