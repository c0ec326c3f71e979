#!/usr/bin/env bash
# Checks that every C++ file of the project follows the committed .clang-format, with the
# clang-format that install-deps.sh installs. Lists the files that differ and fails if any does.
#   bash scripts/formato.sh             check only
#   bash scripts/formato.sh --corrige   rewrite the files that differ
set -euo pipefail
cd "$(dirname "$0")/.."
formateador=clang-format-14
if ! command -v "$formateador" >/dev/null; then
  echo "formato: falta $formateador (bash scripts/install-deps.sh)" >&2
  exit 2
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t archivos < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t archivos < <(find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
fi
if [ "${1:-}" = --corrige ]; then
  "$formateador" -i "${archivos[@]}"
  exit 0
fi
distintos=0
for f in "${archivos[@]}"; do
  if ! "$formateador" --dry-run -Werror "$f" >/dev/null 2>&1; then
    echo "formato: $f"
    distintos=$((distintos + 1))
  fi
done
if [ "$distintos" -gt 0 ]; then
  echo "formato: $distintos de ${#archivos[@]} archivos no siguen .clang-format (bash scripts/formato.sh --corrige)" >&2
  exit 1
fi
echo "formato: ${#archivos[@]} archivos siguen .clang-format"
