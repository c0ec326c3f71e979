#!/usr/bin/env bash
# Configures and builds everything into build/ (options after the script go to CMake).
set -euo pipefail
cd "$(dirname "$0")/.."
# The configure output is shown: a missing optional tool or library is said there.
cmake -S . -B build -G Ninja "$@"
cmake --build build --parallel "$(nproc)"
