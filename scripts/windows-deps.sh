#!/usr/bin/env bash
# Builds the Windows runtime's libraries with MinGW-w64 (posix threads) from
# Debian's source packages into PREFIX, all static: scripts/windows-deps.sh
# PREFIX (fetching, stamps and the recipes shared with the web runtime:
# scripts/deps-common.sh).
set -euo pipefail
. "$(dirname "$0")/deps-common.sh"
deps_init "$1"
toolchain=$(realpath "$(dirname "$0")/../cmake/mingw-w64.cmake")
host=x86_64-w64-mingw32 cc=x86_64-w64-mingw32-gcc-posix ar=x86_64-w64-mingw32-ar

# cmake_package SOURCE OPTIONS...: configures, builds and installs with MinGW.
# Source file names kept in the libraries (SDL's assertions) are relative, so
# a shipped game names no folder of this machine.
cmake_package() {
  local source=$1
  shift
  rm -rf "$source/build-windows"
  cmake -S "$source" -B "$source/build-windows" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DCMAKE_C_FLAGS="-ffile-prefix-map=$work/=" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$source/build-windows" -j "$jobs" >/dev/null
  cmake --install "$source/build-windows" >/dev/null
}

build_zlib() {
  (cd "$1" && CHOST=$host CC="$cc" AR="$ar" CFLAGS=-O2 ./configure --static --prefix="$prefix" >/dev/null &&
     make -j "$jobs" libz.a >/dev/null && make install >/dev/null)
}

# Not through ccache, which SDL uses when it finds one: objects it hands back
# keep the file names of the build that cached them.
build_libsdl2() {
  cmake_package "$1" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_CCACHE=OFF
}

# luaconf.h takes _WIN32 as LUA_WIN itself.
build_lua5.1() { lua_library "$1" "$cc" "$ar" "$host"; }

# The loader alone, static (GLEW_STATIC): its generated source is in the
# release, so neither its Makefile nor Perl is needed.
build_glew() {
  local source=$1
  mkdir -p "$source/build-windows" "$prefix/include/GL"
  "$cc" -O2 -DGLEW_STATIC -DGLEW_NO_GLU -I"$source/include" -c "$source/src/glew.c" \
    -o "$source/build-windows/glew.o"
  rm -f "$prefix/lib/libglew32s.a"
  "$ar" rcs "$prefix/lib/libglew32s.a" "$source/build-windows/glew.o"
  cp "$source"/include/GL/{glew.h,wglew.h} "$prefix/include/GL/"
}

build_packages MinGW-w64 zlib libpng1.6 freetype libzip box2d pugixml lua5.1 libsdl2 libsdl2-mixer glew
copy_headers
