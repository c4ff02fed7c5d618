#!/usr/bin/env bash
# Builds the web runtime (tarnwick.js and tarnwick.wasm) with Emscripten:
# scripts/build-web.sh [BUILD_DIR] (default build/web). Installs what is
# missing, builds the libraries from Debian's source packages into the user's
# cache, ~/.cache/tarnwick/web-deps/prefix (once per package version and
# recipe, shared by every checkout on the machine), then the runtime. The
# desktop `tarnwick --export-web` finds it there; `cmake --install BUILD_DIR`
# puts it where an installed tarnwick looks (share/tarnwick/web).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/web}
prefix=${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick/web-deps/prefix

scripts/install-deps.sh web
# Debian's emcc finds its JavaScript packages (acorn) here, whichever node runs.
export NODE_PATH=/usr/share/nodejs
scripts/web-deps.sh "$prefix"

# Packages come from the prefix only: never the machine's own, and not the
# SDL2 package of Emscripten's sysroot, which asks for a download.
PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig EM_PKG_CONFIG_PATH=$prefix/lib/pkgconfig emcmake cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
  -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DTARNWICK_WERROR=ON >/dev/null
cmake --build "$dir" -j "$(nproc)"
echo "Web runtime: $dir/tarnwick.js and $dir/tarnwick.wasm"
