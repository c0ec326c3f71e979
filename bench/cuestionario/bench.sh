#!/usr/bin/env bash
# Benchmark of tools/cuestionario end to end (not a test): open, login, detection and every
# answer, on two sample host folders written by mdbgen:
#   sucursal  a branch of twenty years: 206,000 operation rows (about 61k in tMovtos and 145k in
#             tProces), 6,700 clients
#   muestra   the 1,000,000-operation sample
#   sucursales  twenty branches like the first (other seeds), consolidated: the wall time and peak
#             memory of one branch's own run, of 4 and of 20 branches consolidated, and the ratios
#             of the 20 to twenty times the one
# For each, side by side in one run (the machine is shared, so the runs alternate): processor
# time (user + system) of the tool against that of mdb-export dumping tMovtos, tProces and
# tCliente as text, and their ratio; wall time; peak memory; and the longest stall of the event
# loop while the answers are computed (the tool's --sondeo: a timer that records the largest
# gap between its ticks); then the same run writing the detail files (--detalle), against it. Medians of R runs. Then one run of the window on a virtual screen
# (bench/ventana: its longest stall and how long a close request waits). With --tiempos, the
# slowest report variables too.
#
#   bash bench/cuestionario/bench.sh [BUILD_DIR] [--repeticiones R] [--tiempos] [sucursal|muestra|sucursales ...]
#
# Sample folders are kept in ${BENCH_DATOS:-/tmp/bench-cuestionario} and reused; with
# BENCH_SIN_COMPILAR set, the tools already built in BUILD_DIR are used as they are.
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD=build
R=3
TIEMPOS=0
FORMAS=()
while [ $# -gt 0 ]; do
  case "$1" in
    --repeticiones) R=$2; shift 2 ;;
    --tiempos) TIEMPOS=1; shift ;;
    sucursal|muestra|sucursales) FORMAS+=("$1"); shift ;;
    *) BUILD=$1; shift ;;
  esac
done
[ ${#FORMAS[@]} -eq 0 ] && FORMAS=(sucursal muestra)
DATOS=${BENCH_DATOS:-/tmp/bench-cuestionario}
command -v mdb-export >/dev/null || { echo "falta mdb-export (mdbtools)"; exit 1; }

if [ -z "${BENCH_SIN_COMPILAR:-}" ]; then
  cmake -S . -B "$BUILD" -G Ninja >/dev/null
  cmake --build "$BUILD" --target cuestionario mdbgen benchventana >/dev/null
fi
HERR="$BUILD/tools/cuestionario/cuestionario"
VENTANA="$BUILD/bench/ventana/benchventana"
MDBGEN="$BUILD/tools/mdbgen/mdbgen"

opciones() {
  case "$1" in
    sucursal | sucursales) echo "--operaciones 206000 --anios 20 --clientes 6700 --proceso 0.7" ;;
    muestra) echo "--operaciones 1000000" ;;
  esac
}

# Processor seconds (user + system), wall seconds and peak KB of a command, from /usr/bin/time.
mide() {
  local t
  t=$(mktemp)
  /usr/bin/time -f '%U %S %e %M' -o "$t" "$@" >/dev/null 2>&1 || { rm -f "$t"; return 1; }
  awk '{printf "%.3f %.3f %d\n", $1 + $2, $3, $4}' "$t"
  rm -f "$t"
}

mediana() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

exporta() {
  for t in tMovtos tProces tCliente; do mdb-export "$1" "$t"; done
}

echo "carga de la máquina al empezar: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) procesadores)"
for F in "${FORMAS[@]}"; do
  if [ "$F" = sucursales ]; then
    CARPETAS=()
    for i in $(seq 20); do
      CARPETA="$DATOS/sucursales/s$i"
      # shellcheck disable=SC2046
      [ -f "$CARPETA/DataBase/Tavoro.mdb" ] ||
        "$MDBGEN" sample "$CARPETA" $(opciones sucursales) --semilla $((1000 + i)) >/dev/null
      CARPETAS+=("$CARPETA")
    done
    read -r c1 p1 m1 < <(mide "$HERR" "${CARPETAS[0]}" --usuario ADMIN --password ADMIN)
    read -r c4 p4 m4 < <(mide "$HERR" --consolidar "${CARPETAS[@]:0:4}" --usuario ADMIN --password ADMIN)
    read -r c20 p20 m20 < <(mide "$HERR" --consolidar "${CARPETAS[@]}" --usuario ADMIN --password ADMIN)
    echo "== sucursales (20 como la sucursal de 206,000 operaciones, otras semillas)"
    printf '   una sucursal sola: reloj %.2f s, memoria máxima %d MB\n' "$p1" "$((m1 / 1024))"
    printf '   4 consolidadas: reloj %.2f s, procesador %.2f s, memoria máxima %d MB\n' "$p4" "$c4" "$((m4 / 1024))"
    printf '   20 consolidadas: reloj %.2f s (%.2f veces 20 x una), procesador %.2f s, memoria máxima %d MB (%.2f veces una)\n' \
      "$p20" "$(awk "BEGIN {print $p20 / (20 * $p1)}")" "$c20" "$((m20 / 1024))" "$(awk "BEGIN {print $m20 / $m1}")"
    continue
  fi
  CARPETA="$DATOS/$F"
  if [ ! -f "$CARPETA/DataBase/Tavoro.mdb" ]; then
    mkdir -p "$CARPETA"
    # shellcheck disable=SC2046
    "$MDBGEN" sample "$CARPETA" $(opciones "$F") >/dev/null
  fi
  MDB="$CARPETA/DataBase/Tavoro.mdb"
  export -f exporta
  CPU_H=() CPU_E=() PARED=() RSS=()
  for ((i = 0; i < R; i++)); do
    read -r c p m < <(mide bash -c 'exporta "$0"' "$MDB")
    CPU_E+=("$c")
    read -r c p m < <(mide "$HERR" "$CARPETA" --usuario ADMIN --password ADMIN) ||
      { echo "falló cuestionario en $F"; exit 1; }
    CPU_H+=("$c") PARED+=("$p") RSS+=("$m")
  done
  # One more run with the stall probe (it serves the event loop, so it is timed apart).
  PAUSA=$("$HERR" "$CARPETA" --usuario ADMIN --password ADMIN --sondeo 2>&1 >/dev/null |
    sed -n 's/^sondeo: pausa más larga \([0-9]*\) ms.*/\1/p')
  CH=$(printf '%s\n' "${CPU_H[@]}" | mediana)
  CE=$(printf '%s\n' "${CPU_E[@]}" | mediana)
  PM=$(printf '%s\n' "${PARED[@]}" | mediana)
  MM=$(printf '%s\n' "${RSS[@]}" | sort -g | tail -1)
  FILAS=$(for t in tMovtos tProces tCliente; do printf '%s %s  ' "$t" "$(mdb-export "$MDB" "$t" | tail -n +2 | wc -l)"; done)
  echo "== $F ($FILAS; mediana de $R)"
  printf '   procesador: cuestionario %.2f s, mdb-export %.2f s, razón %.2f\n' "$CH" "$CE" \
    "$(awk "BEGIN {print $CH / $CE}")"
  printf '   reloj %.2f s, memoria máxima %d MB, pausa más larga del ciclo de eventos %s ms\n' "$PM" \
    "$((MM / 1024))" "${PAUSA:-?}"
  # The detail files of every answer (CSV and workbook) written beside the same run: time and peak
  # memory against the report alone (one run; the files go to a folder removed afterwards).
  DETALLE=$(mktemp -d)
  read -r c p m < <(mide "$HERR" "$CARPETA" --usuario ADMIN --password ADMIN --detalle "$DETALLE/d") ||
    { echo "falló cuestionario --detalle en $F"; exit 1; }
  printf '   con --detalle: reloj %.2f s (%.2f veces), memoria máxima %d MB (%.2f veces), %s\n' "$p" \
    "$(awk "BEGIN {print $p / $PM}")" "$((m / 1024))" "$(awk "BEGIN {print $m / $MM}")" \
    "$(du -sh "$DETALLE/d" | cut -f1)"
  rm -rf "$DETALLE"
  # The window itself, on a virtual screen: the same report from the press of "Generar reporte"
  # to the preview (its messages keep their pauses), the longest stall of its event loop and how
  # long a close request waits for its question. Three seconds pass between the detection and the
  # press, as a user ticks the list; then once more without the tables loaded meanwhile.
  if command -v xvfb-run >/dev/null && [ -x "$VENTANA" ]; then
    echo "   ventana: $(xvfb-run -a -s '-screen 0 1280x1024x24' "$VENTANA" "$CARPETA" 3000 2>/dev/null | tail -1)"
    echo "   ventana sin precarga: $(xvfb-run -a -s '-screen 0 1280x1024x24' "$VENTANA" "$CARPETA" 3000 \
      --sin-precarga 2>/dev/null | tail -1)"
  fi
  if [ "$TIEMPOS" = 1 ]; then
    echo "   variables más lentas (ms):"
    "$HERR" "$CARPETA" --usuario ADMIN --password ADMIN --tiempos 2>&1 >/dev/null | grep ' ms$' |
      sed 's/ ms$//' | sort -t$'\t' -k2 -g -r | head -6 | awk -F'\t' '{printf "     %-10s %10.1f\n", $1, $2}'
  fi
done
echo "carga de la máquina al terminar: $(cut -d' ' -f1-3 /proc/loadavg)"
