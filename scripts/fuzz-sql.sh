#!/usr/bin/env bash
# Builds the Jet SQL layer's libFuzzer target with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, and runs it for the given number of seconds
# (default 60). The corpus starts from the statements of tests/sql/*.test and the
# questionnaire's texts (fuzz/semillas-sql/) and grows in build-fuzz/corpus-sql/; crashing
# inputs land in build-fuzz/hallazgos-sql/, and the engine texts behind generic internal
# errors in build-fuzz/internos-sql.txt. fuzz/jet.dict gives the mutator Jet SQL's words.
#   scripts/fuzz-sql.sh [seconds] [extra libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."
segundos=${1:-60}
shift || true

bash scripts/fuzz-compila.sh fuzz-sql

corpus=build-fuzz/corpus-sql
hallazgos=build-fuzz/hallazgos-sql
mkdir -p "$corpus" "$hallazgos"
if [ -z "$(ls -A "$corpus")" ]; then
  # One file per statement of the .test files (the lines between a case's header and ----).
  awk -v dir="$corpus" '
    /^(query |statement error )/ { n++; f = sprintf("%s/test-%04d.sql", dir, n); leyendo = 1; primero = 1; next }
    leyendo && /^----$/ { leyendo = 0; close(f); next }
    leyendo { if (!primero) printf "\n" > f; printf "%s", $0 > f; primero = 0 }
  ' tests/sql/*.test
  cp fuzz/semillas-sql/* "$corpus"/
fi

export QRTZ_FUZZ_INTERNOS=build-fuzz/internos-sql.txt
exec build-fuzz/fuzz/fuzz-sql "$corpus" -dict=fuzz/jet.dict \
  -max_len=8192 -max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$hallazgos/" -print_final_stats=1 "$@"
