#!/usr/bin/env bash
# Installs what is needed, builds, prepares the sample Tavoro folder and starts the program in it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
carpeta=${CARPETA_TAVORO:-$PWD/sample/Tavoro}
# The sample host folder (database password "plovik", user ADMIN with password ADMIN).
if [ ! -e "$carpeta/DataBase/Tavoro.mdb" ]; then
  build/tools/mdbgen/mdbgen sample "$carpeta"
fi
# The program finds the host files beside its own executable, so it runs from a copy there.
cp build/app/CuestionarioQRTZ "$carpeta/CuestionarioQRTZ"
exec "$carpeta/CuestionarioQRTZ"
