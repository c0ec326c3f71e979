#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows: installs what is needed (scripts/windows/install-deps.sh),
# builds Qt, SQLite and qpdf for Windows into the cache folder once (scripts/windows/deps.sh), then the
# program, its tools and the tests into build-win/, the folder to ship (build-win/dist/CuestionarioQRTZ/)
# and build-win/CuestionarioQRTZ-win64.zip. Run as root on Debian 12.
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
dist="$obra/dist/CuestionarioQRTZ"
rm -rf "$obra/dist" && mkdir -p "$dist"
programas=(
  "$obra/app/CuestionarioQRTZ.exe"
  "$obra/sucursales/CuestionarioQRTZ-Sucursales.exe"
  "$obra/tools/cuestionario/cuestionario.exe"
  "$obra/tools/jetsql/jetsql.exe"
  "$obra/tools/mdbgen/mdbgen.exe"
)
for p in "${programas[@]}"; do
  x86_64-w64-mingw32-strip -o "$dist/$(basename "$p")" "$p"
done
# The user's guide, made from the README by the Linux build's tool (built here when missing).
if [ ! -x build/tools/guia/guia ]; then
  cmake -S . -B build -G Ninja >/dev/null
  cmake --build build --target guia
fi
build/tools/guia/guia README.md "$dist/Guía del usuario.pdf"

# Qt plugins the program loads: the Windows platform and the native style. Windows' printers
# are reached by Qt6PrintSupport.dll itself (Qt 6 has no print-support plugin for Windows).
mkdir -p "$dist/platforms" "$dist/styles"
cp "$qt/plugins/platforms/qwindows.dll" "$dist/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$dist/styles/"

# Every DLL the programs and plugins import, found in the Qt, library and MinGW folders (the
# system's own DLLs are not found there and stay out).
gcc_dir="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
busca=("$qt/bin" "$libs/bin" "$gcc_dir" /usr/x86_64-w64-mingw32/lib /usr/lib/gcc/x86_64-w64-mingw32/*-posix)
pendientes=("$dist"/*.exe "$dist"/*/*.dll)
declare -A vistos=()
while [ ${#pendientes[@]} -gt 0 ]; do
  f="${pendientes[0]}"
  pendientes=("${pendientes[@]:1}")
  while read -r dll; do
    clave="${dll,,}"
    [ -n "${vistos[$clave]:-}" ] && continue
    vistos[$clave]=1
    for d in "${busca[@]}"; do
      if [ -f "$d/$dll" ]; then
        x86_64-w64-mingw32-strip -o "$dist/$dll" "$d/$dll"
        pendientes+=("$dist/$dll")
        break
      fi
    done
  done < <(x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p')
done

# The report's faces are the system's; their metric twins go along for machines without them.
mkdir -p "$dist/fuentes"
cp /usr/share/fonts/truetype/liberation/LiberationSerif-*.ttf "$dist/fuentes/"
cp /usr/share/fonts/truetype/crosextra/Carlito-*.ttf "$dist/fuentes/"
cp /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf "$dist/fuentes/"
for doc in fonts-liberation fonts-crosextra-carlito fonts-wine; do
  [ -f "/usr/share/doc/$doc/copyright" ] && cp "/usr/share/doc/$doc/copyright" "$dist/fuentes/$doc.copyright.txt"
done

rm -f "$obra/CuestionarioQRTZ-win64.zip"
(cd "$obra/dist" && zip -qr9 "$obra/CuestionarioQRTZ-win64.zip" CuestionarioQRTZ)
echo "build-win: $(du -sh "$dist" | cut -f1) en $dist, $(du -h "$obra/CuestionarioQRTZ-win64.zip" | cut -f1) en $obra/CuestionarioQRTZ-win64.zip"

# The Spanish installer: the program and the runtime files it needs into Tavoro's folder, the rest
# under Program Files. The lists of what goes into Tavoro's folder are written from the package,
# so the uninstaller removes exactly that.
echo "build-win: instalador ($(date -u +%H:%M:%S))"
listas="$obra/instalador"
rm -rf "$listas" && mkdir -p "$listas"
version="$(sed -n 's/^inline constexpr char kVersionQRTZ\[\] = "\(.*\)";/\1/p' "$obra/generado/common/Version.h")"
{
  echo 'SetOutPath "$INSTDIR"'
  echo "File \"$dist/CuestionarioQRTZ.exe\""
  for f in "$dist"/*.dll; do echo "File \"$f\""; done
  for d in platforms styles fuentes; do
    echo "SetOutPath \"\$INSTDIR\\$d\""
    for f in "$dist/$d"/*; do echo "File \"$f\""; done
  done
} >"$listas/instala-tavoro.nsh"
rutas=(CuestionarioQRTZ.exe)
for f in "$dist"/*.dll; do rutas+=("$(basename "$f")"); done
for d in platforms styles fuentes; do
  for f in "$dist/$d"/*; do rutas+=("$d\\$(basename "$f")"); done
done
{
  for r in "${rutas[@]}"; do echo "!insertmacro ExisteAjeno \"$r\""; done
} >"$listas/revisa-tavoro.nsh"
{
  for r in "${rutas[@]}"; do echo "Delete \"\$INSTDIR\\$r\""; done
  for d in platforms styles fuentes; do echo "RMDir \"\$INSTDIR\\$d\""; done
} >"$listas/desinstala-tavoro.nsh"
makensis -V2 -DDIST="$dist" -DLISTAS="$listas" -DVERSION="$version" \
  -DICONO="$obra/generado/icono/CuestionarioQRTZ.ico" \
  -DSALIDA="$obra/CuestionarioQRTZ-instalador.exe" scripts/windows/instalador.nsi
echo "build-win: $(du -h "$obra/CuestionarioQRTZ-instalador.exe" | cut -f1) en $obra/CuestionarioQRTZ-instalador.exe"
