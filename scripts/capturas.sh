#!/usr/bin/env bash
# Screenshots of the real program for the README: the main window after a detection, the
# report preview and report pages, made over the sample Tavoro folder (written if missing); the
# consolidation window and the consolidated report's annex over two sample branches.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
carpeta=${CARPETA_TAVORO:-$PWD/sample/Tavoro}
[ -e "$carpeta/DataBase/Tavoro.mdb" ] || build/tools/mdbgen/mdbgen sample "$carpeta"
xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/capturas/capturas "$carpeta" docs/capturas
ramas="$(mktemp -d)"
trap 'rm -rf "$ramas"' EXIT
build/tools/mdbgen/mdbgen sample "$ramas/Centro" --operaciones 6000 --semilla 3 >/dev/null
build/tools/mdbgen/mdbgen sample "$ramas/Aeropuerto" --operaciones 4000 --semilla 5 >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/capturas/capturas --sucursales docs/capturas \
  "$ramas/Centro" "$ramas/Aeropuerto"
ls -l docs/capturas
