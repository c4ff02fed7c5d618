#!/usr/bin/env bash
# Builds the Windows runtime (tarnwick.exe) with MinGW-w64:
# scripts/build-windows.sh [BUILD_DIR] (default build/windows). Installs what
# is missing, builds the libraries from Debian's source packages into the
# user's cache, ~/.cache/tarnwick/windows-deps/prefix (once per package
# version and recipe, shared by every checkout on the machine), then the
# runtime, and writes BUILD_DIR/tarnwick-dlls.txt: the DLLs a player needs
# beside tarnwick.exe, copied there, one name a line (none when everything is
# linked statically, as now).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/windows}
prefix=${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick/windows-deps/prefix
host=x86_64-w64-mingw32

scripts/install-deps.sh windows
scripts/windows-deps.sh "$prefix"

# Packages come from the prefix only, never the machine's own.
PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH='' cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_ROOT_PATH="$prefix" -DTARNWICK_WERROR=ON >/dev/null
cmake --build "$dir" -j "$(nproc)"

# A DLL the executable imports that comes with the compiler or the prefix is
# copied beside it and listed; any other is Windows' own.
: >"$dir/tarnwick-dlls.txt"
for dll in $($host-objdump -p "$dir/tarnwick.exe" | awk '/DLL Name:/ { print $3 }'); do
  found=$(find "$prefix/bin" /usr/$host/lib /usr/lib/gcc/$host/*-posix -iname "$dll" 2>/dev/null | head -n 1)
  [ -n "$found" ] || continue
  cp "$found" "$dir/"
  echo "$dll" >>"$dir/tarnwick-dlls.txt"
done
echo "Windows runtime: $dir/tarnwick.exe (DLLs beside it listed in $dir/tarnwick-dlls.txt)"
