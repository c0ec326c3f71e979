#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the program needs.
# The one place in the project that installs packages. Idempotent; run as root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-format-14
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libsqlite3-dev libqpdf-dev zlib1g-dev
  unixodbc-dev tdsodbc libsqliteodbc
  fonts-liberation fonts-crosextra-carlito fonts-wine
  qt6-translations-l10n
  xvfb xauth poppler-utils qpdf mdbtools
)
# Node.js (for the independent .mdb reader used by the tests) may come from elsewhere with
# its own npm; only a machine without npm takes Debian's.
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The independent .mdb reader that the writer's tests compare against (npm package pinned by
# its lock file). Installed once; without a network the tests that need it say so and skip.
lector="$(cd "$(dirname "$0")/.." && pwd)/tests/tools/mdbgen/node"
if [ -f "$lector/package-lock.json" ] && [ ! -d "$lector/node_modules/mdb-reader" ]; then
  (cd "$lector" && npm ci --no-audit --no-fund --loglevel=error) ||
    echo "install-deps: no se pudo instalar mdb-reader (npm); las pruebas que lo usan se omitirán" >&2
fi
