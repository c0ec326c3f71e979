#!/usr/bin/env bash
# Builds the .mdb reader's libFuzzer target with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, and runs it for the given number of seconds
# (default 60). The corpus starts from the real Access test files and grows in
# build-fuzz/corpus-lector/; crashing inputs land in build-fuzz/hallazgos-lector/.
#   scripts/fuzz-lector.sh [seconds] [extra libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."
segundos=${1:-60}
shift || true

bash scripts/fuzz-compila.sh fuzz-lector

corpus=build-fuzz/corpus-lector
hallazgos=build-fuzz/hallazgos-lector
mkdir -p "$corpus" "$hallazgos"
if [ -z "$(ls -A "$corpus")" ]; then
  cp tests/datos/access/*/*.mdb "$corpus"/
fi

exec build-fuzz/fuzz/fuzz-lector "$corpus" \
  -max_len=65536 -max_total_time="$segundos" -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$hallazgos/" -print_final_stats=1 "$@"
