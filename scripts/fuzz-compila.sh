#!/usr/bin/env bash
# Configures build-fuzz/ (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer,
# no recovery) and builds the given fuzz target. Called by the fuzz-*.sh scripts.
#   scripts/fuzz-compila.sh TARGET
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQRTZ_FUZZ=ON -DQRTZ_SANITIZE=ON -DQRTZ_TESTS=OFF -DQRTZ_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fno-sanitize-recover=all" >/dev/null
cmake --build build-fuzz --target "$1"
