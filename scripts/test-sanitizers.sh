#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and
# runs every test there (about twice the time of scripts/test.sh; not part of CI's run).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-asan -G Ninja -DQRTZ_SANITIZE=ON -DQRTZ_BENCH=OFF >/dev/null
cmake --build build-asan --parallel "$(nproc)"
# Qt's own allocations that live until exit would drown real reports, so leaks are not checked.
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" --timeout 900
