#!/usr/bin/env bash
# Installs the Debian packages that the Windows cross-build and the Wine tests need, and makes
# Debian's source packages reachable (deb-src entry for the same archive). Idempotent; run as root.
set -euo pipefail

bash "$(dirname "$0")/../install-deps.sh"

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64 mingw-w64-tools
  wine wine64 xvfb xauth x11-apps imagemagick xdotool
  dpkg-dev zip unzip make tcl ccache librsvg2-bin icoutils nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

fuentes=/etc/apt/sources.list.d/cuestionarioqrtz-src.sources
necesita_update=0
if [ ! -f "$fuentes" ]; then
  # Same archive, suites and keyring as the binary entries, so the sources match what is installed.
  cat >"$fuentes" <<'FIN'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
FIN
  necesita_update=1
fi

export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ] || [ "$necesita_update" = 1 ]; then
  apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
