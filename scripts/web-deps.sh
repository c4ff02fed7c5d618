#!/usr/bin/env bash
# Builds the web runtime's libraries with Emscripten from Debian's source
# packages into PREFIX: scripts/web-deps.sh PREFIX (fetching, stamps and the
# recipes shared with the Windows runtime: scripts/deps-common.sh).
# Emscripten's own ports are downloads, which these machines cannot make.
set -euo pipefail
. "$(dirname "$0")/deps-common.sh"
deps_init "$1"

# Configure checks that run a program run it in Node.js. This Emscripten's
# output fetches its .wasm when Node.js has fetch (version 18 on), and fetch
# cannot read files: such runs get none.
node_without_fetch=$prefix/../node-without-fetch.js
echo 'delete globalThis.fetch;' >"$node_without_fetch"

# cmake_package SOURCE OPTIONS...: configures, builds and installs with emcmake.
cmake_package() {
  local source=$1
  shift
  rm -rf "$source/build-web"
  emcmake cmake -S "$source" -B "$source/build-web" -DCMAKE_BUILD_TYPE=Release \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=$(command -v node);--require=$node_without_fetch" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@" >/dev/null
  cmake --build "$source/build-web" -j "$jobs" >/dev/null
  cmake --install "$source/build-web" >/dev/null
}

build_zlib() {
  (cd "$1" && CFLAGS=-O2 emconfigure ./configure --static --prefix="$prefix" >/dev/null &&
     emmake make -j "$jobs" libz.a >/dev/null && emmake make install >/dev/null)
}

build_libsdl2() {
  cmake_package "$1" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_THREADS=OFF
}

build_lua5.1() { lua_library "$1" emcc emar wasm32-emscripten -DLUA_USE_POSIX; }

export NODE_PATH=/usr/share/nodejs
build_packages Emscripten zlib libpng1.6 freetype libzip box2d pugixml lua5.1 libsdl2 libsdl2-mixer
copy_headers
