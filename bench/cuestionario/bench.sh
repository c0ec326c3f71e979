#!/usr/bin/env bash
# Benchmark of tools/cuestionario end to end (not a test): sample host folders written by
# mdbgen with 100,000 and 1,000,000 operations, every answer computed. Reports wall time, peak
# memory and the time each report variable took (the first one, NombreCC, also carries the
# connection, the version read and the PEP detection).
#
#   bash bench/cuestionario/bench.sh [BUILD_DIR] [N ...]      (defaults: build-cuest, 100000 1000000)
#
# Sample folders are kept in ${BENCH_DATOS:-/tmp/bench-cuestionario} and reused.
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD=${1:-build-cuest}
shift || true
TAMANOS=("$@")
[ ${#TAMANOS[@]} -eq 0 ] && TAMANOS=(100000 1000000)
DATOS=${BENCH_DATOS:-/tmp/bench-cuestionario}

cmake -S . -B "$BUILD" -G Ninja >/dev/null
cmake --build "$BUILD" --target cuestionario mdbgen >/dev/null
HERR="$BUILD/tools/cuestionario/cuestionario"
MDBGEN="$BUILD/tools/mdbgen/mdbgen"

for N in "${TAMANOS[@]}"; do
  CARPETA="$DATOS/$N"
  if [ ! -f "$CARPETA/DataBase/Tavoro.mdb" ]; then
    mkdir -p "$CARPETA"
    T0=$(date +%s.%N)
    "$MDBGEN" sample "$CARPETA" --operaciones "$N" >/dev/null
    T1=$(date +%s.%N)
    printf 'muestra de %s operaciones escrita en %.1f s (%s)\n' "$N" "$(awk "BEGIN {print $T1 - $T0}")" \
      "$(du -h "$CARPETA/DataBase/Tavoro.mdb" | cut -f1)"
  fi
  SALIDA=$(mktemp) ERRORES=$(mktemp) TIEMPO=$(mktemp)
  /usr/bin/time -v -o "$TIEMPO" "$HERR" "$CARPETA" --usuario ADMIN --password ADMIN --tiempos \
    >"$SALIDA" 2>"$ERRORES" || { echo "falló con $N operaciones:"; cat "$ERRORES"; exit 1; }
  PARED=$(grep 'Elapsed (wall clock)' "$TIEMPO" | awk '{print $NF}')
  RSS=$(grep 'Maximum resident set size' "$TIEMPO" | awk '{print $NF}')
  echo "== $N operaciones: $PARED de reloj, memoria máxima $((RSS / 1024)) MB, $(grep -c $'\t' "$SALIDA") líneas"
  echo "   variables más lentas (ms):"
  grep ' ms$' "$ERRORES" | sed 's/ ms$//' | sort -t$'\t' -k2 -g -r | head -12 | awk -F'\t' '{printf "     %-10s %10.1f\n", $1, $2}'
  grep ' ms$' "$ERRORES" | sed 's/ ms$//' | awk -F'\t' '$2 >= 0 {s += $2; n++} END {printf "   suma %.1f ms en %d variables, %.1f ms por variable\n", s, n, s / n}'
  rm -f "$SALIDA" "$ERRORES" "$TIEMPO"
done
