#!/usr/bin/env bash
# Builds the Windows x86-64 dependencies of the program from Debian's own source packages, all as
# static libraries so that each program is one file: Qt 6.4.2 (qtbase), SQLite, zlib, libjpeg-turbo
# and qpdf. Everything lives in a cache folder outside
# the work tree ($QRTZ_WIN_CACHE, default /var/cache/cuestionarioqrtz-win); a part already built
# (stamp file with its recipe version) is reused. Run as root after scripts/windows/install-deps.sh.
#   deps.sh [qt|libs|all]   (default all)
set -euo pipefail

aqui="$(cd "$(dirname "$0")" && pwd)"
cache="${QRTZ_WIN_CACHE:-/var/cache/cuestionarioqrtz-win}"
jobs="${QRTZ_WIN_JOBS:-$(nproc)}"
toolchain="$aqui/mingw-w64.cmake"
src="$cache/src"
obra="$cache/build"
libs="$cache/libs" # SQLite, zlib, libjpeg, qpdf
qt="$cache/qt6"
sellos="$cache/stamps"
mkdir -p "$src" "$obra" "$libs" "$qt" "$sellos"
# pkg-config sees only the Windows libraries built here, never the Linux ones.
export PKG_CONFIG_LIBDIR="$libs/lib/pkgconfig"
export PKG_CONFIG_PATH=""

# Recipe versions: changing a recipe below means changing its version, so the cache is rebuilt.
# (The Debian revision named in each is the one the recipe was first built from; the sources are
# Debian's current ones of the same upstream version.)
V_QT="qt6-base=6.4.2+dfsg-10 estática r3"
V_ZLIB="zlib=1:1.2.13.dfsg-1 r2"
V_JPEG="libjpeg-turbo=1:2.1.5-2 estática r2"
V_SQLITE="sqlite3=3.40.1-2+deb12u2 estática r2"
V_QPDF="qpdf=11.3.0-1+deb12u1 estática r3"

# A part whose stamp holds this recipe is reused, and the log says so.
hecho() {
  if [ -f "$sellos/$1" ] && [ "$(cat "$sellos/$1")" = "$2" ]; then
    echo "deps: $1 reutilizado de la caché ($2)"
    return 0
  fi
  return 1
}
sellar() { echo "$2" >"$sellos/$1"; }
reloj() { echo "deps: $* ($(date -u +%H:%M:%S))"; }

# Unpacks Debian's source package (with Debian's patches) into $src/<name>, once; the download
# stays in the cache. The archive drops a Debian revision as soon as a security update supersedes
# it, so no revision is named: the newest one of the recipe's upstream version that can be
# downloaded is taken, then the older ones.
fuente() {
  local paquete="$1" upstream="$2"
  local dir="$src/$paquete"
  if [ ! -f "$dir/.desempaquetado" ]; then
    local versiones v arriba tomada=""
    versiones="$(apt-cache showsrc --only-source "$paquete" | sed -n 's/^Version: //p' | sort -Vru)"
    for v in $versiones; do
      arriba="${v#*:}"
      arriba="${arriba%-*}"
      case "$arriba" in
      "$upstream" | "$upstream"[.+~]*) ;;
      *) continue ;;
      esac
      rm -rf "$dir" && mkdir -p "$dir"
      if (cd "$dir" && apt-get source -qq --only-source "$paquete=$v" >/dev/null 2>&1); then
        tomada="$v"
        break
      fi
      echo "deps: no se pudo descargar $paquete $v; se prueba otra revisión" >&2
    done
    if [ -z "$tomada" ]; then
      echo "deps: Debian no ofrece fuentes de $paquete $upstream (hay: ${versiones//$'\n'/ })" >&2
      exit 1
    fi
    local arbol
    arbol="$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -1)"
    ln -sfn "$arbol" "$dir/arbol"
    touch "$dir/.desempaquetado"
    echo "deps: fuentes de $paquete $tomada (Debian) en $dir" >&2
  fi
  echo "$dir/arbol"
}

cmake_win() {
  nice cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DQRTZ_WIN_PREFIXES="$libs;$qt" "$@"
}

construir_qt() {
  hecho qt "$V_QT" && return
  reloj "Qt: fuentes"
  local arbol
  arbol="$(fuente qt6-base 6.4.2)"
  # An interrupted build of the same recipe resumes where it stopped.
  if [ ! -f "$obra/qt/build.ninja" ] || [ "$(cat "$obra/qt/.receta" 2>/dev/null)" != "$V_QT" ]; then
    rm -rf "$obra/qt" "$qt" && mkdir -p "$obra/qt" "$qt"
    reloj "Qt: configuración"
    configurar_qt "$arbol"
    echo "$V_QT" >"$obra/qt/.receta"
    : >"$obra/qt-build.log"
  fi
  reloj "Qt: compilación (-j$jobs)"
  nice cmake --build "$obra/qt" --parallel "$jobs" >>"$obra/qt-build.log" 2>&1 ||
    { grep -B2 -A10 -m3 'error' "$obra/qt-build.log" | head -60; exit 1; }
  cmake --install "$obra/qt" >"$obra/qt-install.log" 2>&1
  rm -rf "$obra/qt"
  sellar qt "$V_QT"
  reloj "Qt: listo en $qt"
}

configurar_qt() {
  local arbol="$1"
  # Host tools (moc, rcc, uic...) come from the Linux Qt of the same version. Static libraries: the
  # programs link Qt and its Windows platform and style plugins in. Direct2D stays on although no
  # program uses its platform: this Qt compiles its DirectWrite font engine only with it.
  cmake_win -S "$arbol" -B "$obra/qt" -DCMAKE_INSTALL_PREFIX="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_testlib=ON \
    -DINPUT_opengl=no -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_tabletevent=OFF \
    -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF \
    -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
    -DFEATURE_fontconfig=OFF -DFEATURE_freetype=OFF -DFEATURE_pkg_config=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF \
    >"$obra/qt-configure.log" 2>&1 || { tail -40 "$obra/qt-configure.log"; exit 1; }
}

construir_zlib() {
  hecho zlib "$V_ZLIB" && return
  reloj "zlib"
  local arbol
  arbol="$(fuente zlib 1.2.13)"
  # Debian's source has no win32/ folder (resource file of the DLL): build the static library only;
  # qpdf links it in.
  rm -rf "$obra/zlib"
  cmake_win -S "$arbol" -B "$obra/zlib" -DCMAKE_INSTALL_PREFIX="$libs" >"$obra/zlib.log" 2>&1
  nice cmake --build "$obra/zlib" --parallel "$jobs" --target zlibstatic >>"$obra/zlib.log" 2>&1
  mkdir -p "$libs/lib" "$libs/include"
  cp "$obra/zlib/libzlibstatic.a" "$libs/lib/libz.a"
  cp "$obra/zlib/zconf.h" "$libs/include/"
  cp "$arbol/zlib.h" "$libs/include/"
  mkdir -p "$libs/lib/pkgconfig"
  cat >"$libs/lib/pkgconfig/zlib.pc" <<FIN
prefix=$libs
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: zlib
Description: zlib compression library
Version: 1.2.13
Libs: -L\${libdir} -lz
Cflags: -I\${includedir}
FIN
  rm -rf "$obra/zlib"
  sellar zlib "$V_ZLIB"
}

construir_jpeg() {
  hecho jpeg "$V_JPEG" && return
  reloj "libjpeg-turbo"
  local arbol
  arbol="$(fuente libjpeg-turbo 2.1.5)"
  rm -rf "$obra/jpeg"
  cmake_win -S "$arbol" -B "$obra/jpeg" -DCMAKE_INSTALL_PREFIX="$libs" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF >"$obra/jpeg.log" 2>&1
  nice cmake --build "$obra/jpeg" --parallel "$jobs" >>"$obra/jpeg.log" 2>&1
  cmake --install "$obra/jpeg" >>"$obra/jpeg.log" 2>&1
  rm -rf "$obra/jpeg"
  sellar jpeg "$V_JPEG"
}

construir_sqlite() {
  hecho sqlite "$V_SQLITE" && return
  reloj "SQLite"
  local arbol
  arbol="$(fuente sqlite3 3.40.1)"
  # The amalgamation is generated natively (its generators are host programs), then cross-compiled.
  rm -rf "$obra/sqlite" && mkdir -p "$obra/sqlite"
  (cd "$obra/sqlite" && "$arbol/configure" --disable-tcl >/dev/null 2>&1 &&
    nice make -j"$jobs" sqlite3.c >"$obra/sqlite.log" 2>&1)
  local banderas=(-O2 -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_MATH_FUNCTIONS
    -DSQLITE_THREADSAFE=1)
  (cd "$obra/sqlite" &&
    nice x86_64-w64-mingw32-gcc-posix "${banderas[@]}" -c -o sqlite3.o sqlite3.c &&
    x86_64-w64-mingw32-ar rcs libsqlite3.a sqlite3.o)
  mkdir -p "$libs/lib/pkgconfig" "$libs/include"
  cp "$obra/sqlite/libsqlite3.a" "$libs/lib/"
  cp "$obra/sqlite/sqlite3.h" "$obra/sqlite/sqlite3ext.h" "$libs/include/" 2>/dev/null ||
    cp "$obra/sqlite/sqlite3.h" "$libs/include/"
  cat >"$libs/lib/pkgconfig/sqlite3.pc" <<FIN
prefix=$libs
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: SQLite
Description: SQL database engine
Version: 3.40.1
Libs: -L\${libdir} -lsqlite3
Cflags: -I\${includedir}
FIN
  rm -rf "$obra/sqlite"
  sellar sqlite "$V_SQLITE"
}

construir_qpdf() {
  hecho qpdf "$V_QPDF" && return
  reloj "qpdf"
  local arbol
  arbol="$(fuente qpdf 11.3.0)"
  # Its CMake spells the Windows library "Advapi32", which a case-sensitive file system does not find.
  { grep -rl 'Advapi32' "$arbol" --include=CMakeLists.txt --include='*.cmake' || true; } |
    xargs -r sed -i 's/Advapi32/advapi32/g'
  [ -f "$obra/qpdf/CMakeCache.txt" ] || rm -rf "$obra/qpdf" # an interrupted build resumes
  cmake_win -S "$arbol" -B "$obra/qpdf" -DCMAKE_INSTALL_PREFIX="$libs" \
    -DBUILD_STATIC_LIBS=ON -DBUILD_SHARED_LIBS=OFF -DREQUIRE_CRYPTO_NATIVE=ON -DUSE_IMPLICIT_CRYPTO=OFF \
    -DBUILD_DOC=OFF -DINSTALL_EXAMPLES=OFF -DINSTALL_MANUAL=OFF -DINSTALL_CMAKE_PACKAGE=OFF \
    -DZLIB_ROOT="$libs" -DJPEG_ROOT="$libs" >"$obra/qpdf.log" 2>&1 ||
    { tail -40 "$obra/qpdf.log"; exit 1; }
  nice cmake --build "$obra/qpdf" --parallel "$jobs" --target libqpdf >>"$obra/qpdf.log" 2>&1 ||
    { grep -B2 -A10 -m3 'error' "$obra/qpdf.log" | head -60; exit 1; }
  # The library component also installs qpdf's Windows package extras, which this build has none of.
  mkdir -p "$obra/qpdf/qpdf/extra-dlls"
  cmake --install "$obra/qpdf" --component lib >>"$obra/qpdf.log" 2>&1
  cmake --install "$obra/qpdf" --component dev >>"$obra/qpdf.log" 2>&1
  # The library carries no component name.
  cmake --install "$obra/qpdf" --component Unspecified >>"$obra/qpdf.log" 2>&1
  [ -f "$libs/lib/libqpdf.a" ] || { echo "deps: qpdf no instaló su biblioteca estática" >&2; exit 1; }
  rm -rf "$obra/qpdf"
  sellar qpdf "$V_QPDF"
}

case "${1:-all}" in
qt) construir_qt ;;
libs) construir_zlib; construir_jpeg; construir_sqlite; construir_qpdf ;;
all) construir_zlib; construir_jpeg; construir_sqlite; construir_qpdf; construir_qt ;;
*) echo "uso: $0 [qt|libs|all]" >&2; exit 2 ;;
esac
