#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows: installs what is needed (scripts/windows/install-deps.sh),
# builds Qt, SQLite and qpdf for Windows into the cache folder once (scripts/windows/deps.sh), then the
# program, its tools and the tests into build-win/, the folder to ship (build-win/dist/CuestionarioQRTZ/:
# the program, the guide, Herramientas/ with the consolidation window and the tools, Licencias/), its
# zip build-win/CuestionarioQRTZ-win64.zip and the installer build-win/CuestionarioQRTZ-instalador.exe.
# Run as root on Debian 12.
#   QRTZ_WIN_CACHE  cache folder of the Windows dependencies (default /var/cache/cuestionarioqrtz-win)
#   QRTZ_WIN_JOBS   parallel jobs (default: number of processors)
# Options after the script go to CMake.
set -euo pipefail
raiz="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$raiz"

cache="${QRTZ_WIN_CACHE:-/var/cache/cuestionarioqrtz-win}"
jobs="${QRTZ_WIN_JOBS:-$(nproc)}"
libs="$cache/libs"
qt="$cache/qt6"
obra="$raiz/build-win"

bash scripts/windows/install-deps.sh
bash scripts/windows/deps.sh all

echo "build-win: programa ($(date -u +%H:%M:%S))"
# The compiler cache keeps the objects of earlier builds, of this folder or of another copy of the
# project (paths are taken relative to the project's root).
export CCACHE_BASEDIR="$raiz"
# pkg-config sees only the Windows libraries; rcc must not compress with zstd, which this Qt lacks.
PKG_CONFIG_LIBDIR="$libs/lib/pkgconfig" PKG_CONFIG_PATH="" \
  cmake -S . -B "$obra" -G Ninja \
  -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
  -DCMAKE_TOOLCHAIN_FILE="$raiz/scripts/windows/mingw-w64.cmake" \
  -DQRTZ_WIN_PREFIXES="$libs;$qt" -DCMAKE_PREFIX_PATH="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_AUTORCC_OPTIONS=--no-zstd -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$raiz/scripts/windows/wine-ejecuta.sh" \
  -DQRTZ_BENCH=OFF "$@" >"$obra.configure.log" 2>&1 ||
  { tail -30 "$obra.configure.log"; exit 1; }
nice cmake --build "$obra" --parallel "$jobs"

echo "build-win: carpeta para Windows ($(date -u +%H:%M:%S))"
# Each program is one file. The main program is the one that goes into Tavoro's folder; the
# consolidation window and the tools go in a folder of their own, anywhere.
dist="$obra/dist/CuestionarioQRTZ"
rm -rf "$obra/dist" && mkdir -p "$dist/Herramientas" "$dist/Licencias"
x86_64-w64-mingw32-strip -o "$dist/CuestionarioQRTZ.exe" "$obra/app/CuestionarioQRTZ.exe"
for p in sucursales/CuestionarioQRTZ-Sucursales tools/cuestionario/cuestionario tools/jetsql/jetsql \
  tools/mdbgen/mdbgen; do
  x86_64-w64-mingw32-strip -o "$dist/Herramientas/$(basename "$p").exe" "$obra/$p.exe"
done
# A program that imports a DLL from Qt, the libraries or the compiler's runtime is not one file.
gcc_dir="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
for f in "$dist"/*.exe "$dist"/Herramientas/*.exe; do
  while read -r dll; do
    for d in "$qt/bin" "$libs/bin" "$gcc_dir" /usr/x86_64-w64-mingw32/lib; do
      if [ -f "$d/$dll" ]; then
        echo "build-win: $(basename "$f") necesita $dll: no es un solo archivo" >&2
        exit 1
      fi
    done
  done < <(x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p')
  echo "build-win: $(basename "$f") $(stat -c %s "$f") bytes"
done
# The user's guide, made from the README by the Linux build's tool (built here when missing).
if [ ! -x build/tools/guia/guia ]; then
  cmake -S . -B build -G Ninja >/dev/null
  cmake --build build --target guia
fi
build/tools/guia/guia README.md "$dist/Guía del usuario.pdf"
# The licences of what is built into the programs: Qt, the libraries, the compiler's runtime and
# the fonts, from their Debian packages.
for paquete in qt6-base qpdf sqlite3 zlib libjpeg-turbo; do
  cp "$cache/src/$paquete/arbol/debian/copyright" "$dist/Licencias/$paquete.txt"
done
for doc in fonts-liberation fonts-crosextra-carlito fonts-wine mingw-w64-common gcc-mingw-w64-base; do
  [ -f "/usr/share/doc/$doc/copyright" ] && cp "/usr/share/doc/$doc/copyright" "$dist/Licencias/$doc.txt"
done

rm -f "$obra/CuestionarioQRTZ-win64.zip"
(cd "$obra/dist" && zip -qr9 "$obra/CuestionarioQRTZ-win64.zip" CuestionarioQRTZ)
echo "build-win: $(du -sh "$dist" | cut -f1) en $dist, $(du -h "$obra/CuestionarioQRTZ-win64.zip" | cut -f1) en $obra/CuestionarioQRTZ-win64.zip"

# The Spanish installer: the program into Tavoro's folder, the rest under Program Files.
echo "build-win: instalador ($(date -u +%H:%M:%S))"
version="$(sed -n 's/^inline constexpr char kVersionQRTZ\[\] = "\(.*\)";/\1/p' "$obra/generado/common/Version.h")"
makensis -V2 -DDIST="$dist" -DVERSION="$version" \
  -DICONO="$obra/generado/icono/CuestionarioQRTZ.ico" \
  -DSALIDA="$obra/CuestionarioQRTZ-instalador.exe" scripts/windows/instalador.nsi
echo "build-win: $(du -h "$obra/CuestionarioQRTZ-instalador.exe" | cut -f1) en $obra/CuestionarioQRTZ-instalador.exe"
