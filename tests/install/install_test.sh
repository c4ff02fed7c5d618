#!/usr/bin/env bash
# Installs the build (with stand-in web and Windows runtimes) into a temporary
# prefix, runs a game that ships no shaders with the installed binary and ships
# it for Windows and the web; then packages the build as a .deb and checks what
# it declares and holds. Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Stand-in web and Windows runtimes, which the install carries.
mkdir -p "$scratch/web" "$scratch/windows"
printf 'js' >"$scratch/web/tarnwick.js"
printf 'wasm' >"$scratch/web/tarnwick.wasm"
printf 'MZ runtime' >"$scratch/windows/tarnwick.exe"
printf 'libfake-1.dll\n' >"$scratch/windows/tarnwick-dlls.txt"
printf 'MZ dll' >"$scratch/windows/libfake-1.dll"
printf 'unlisted' >"$scratch/windows/other.dll"
runtimes=(env TARNWICK_WEB_RUNTIME="$scratch/web" TARNWICK_WINDOWS_RUNTIME="$scratch/windows")

"${runtimes[@]}" cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for file in bin/tarnwick share/tarnwick/shaders/gl210/pt.vs share/tarnwick/shaders/gl210/pt.fs \
            share/tarnwick/fonts/DejaVuSans.ttf \
            share/tarnwick/types/tarnwick.lua share/doc/tarnwick/README.md \
            share/doc/tarnwick/docs/getting-started.md share/doc/tarnwick/docs/modules.md \
            share/doc/tarnwick/docs/pictures/orientation.png \
            share/tarnwick/examples/demo/main.lua share/tarnwick/web/tarnwick.wasm \
            share/tarnwick/windows/tarnwick.exe share/tarnwick/windows/libfake-1.dll; do
  [ -e "$scratch/prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done

# A game of its own, with no assets/shaders: the installed shaders are used.
"$scratch/prefix/bin/tarnwick" --new "$scratch/game" >/dev/null
"$scratch/prefix/bin/tarnwick" --windowed --frames 3 --fixed-dt 16 --screenshot "$scratch/game/shot.png" \
  "$scratch/game" >"$scratch/log" 2>&1 || { cat "$scratch/log"; exit 1; }
grep -q "Compiling shader $scratch/prefix/bin/../share/tarnwick/shaders/gl210/pt.vs" "$scratch/log" \
  || { echo "the installed shaders were not used"; cat "$scratch/log"; exit 1; }
[ -s "$scratch/game/shot.png" ] || { echo "no screenshot"; exit 1; }
# The installed demo runs as well.
"$scratch/prefix/bin/tarnwick" --windowed --frames 3 --fixed-dt 16 \
  "$scratch/prefix/share/tarnwick/examples/demo" >"$scratch/log" 2>&1 || { cat "$scratch/log"; exit 1; }
[ ! -e "$scratch/prefix/share/tarnwick/windows/other.dll" ] || { echo "an unlisted DLL was installed"; exit 1; }
# The installed tarnwick ships for the web and for Windows from what it carries.
"$scratch/prefix/bin/tarnwick" --bundle --target windows "$scratch/game" "$scratch/win" >/dev/null
cmp -s "$scratch/win/libfake-1.dll" "$scratch/windows/libfake-1.dll" \
  || { echo "the installed Windows runtime was not used"; exit 1; }
"$scratch/prefix/bin/tarnwick" --export-web "$scratch/game" "$scratch/page" >/dev/null
cmp -s "$scratch/page/tarnwick.wasm" "$scratch/web/tarnwick.wasm" \
  || { echo "the installed web runtime was not used"; exit 1; }

# The Debian package.
(cd "$scratch" && "${runtimes[@]}" cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/package" >/dev/null)
deb=$(ls "$scratch"/package/tarnwick_*.deb)
# Every library the packaged binary links belongs to a package it depends on.
depends=$(dpkg-deb -f "$deb" Depends)
# The package names alone, one a line (versions and alternatives split off).
declared=$(sed 's/ *([^)]*)//g; s/ *| */\n/g; s/, */\n/g' <<<"$depends")
dpkg-deb -x "$deb" "$scratch/unpacked"
binary="$scratch/unpacked/usr/bin/tarnwick"
for library in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
  path=$(ldd "$binary" | awk -v name="$library" '$1 == name { print $3 }')
  [ -n "$path" ] || { echo "$library does not resolve"; exit 1; }
  # With /usr merged, dpkg knows a library by one of its two paths.
  owner=$(dpkg -S "$path" 2>/dev/null || dpkg -S "${path#/usr}" 2>/dev/null || dpkg -S "/usr$path") \
    || { echo "no package holds $path"; exit 1; }
  package=${owner%%:*}
  grep -qxF "$package" <<<"$declared" \
    || { echo "$library comes from $package, which Depends lacks: $depends"; exit 1; }
done
contents=$(dpkg-deb -c "$deb")
grep -q '\./usr/bin/tarnwick$' <<<"$contents" || { echo "no /usr/bin/tarnwick in the package"; exit 1; }
grep -q '\./usr/share/tarnwick/shaders/gl210/pt.fs$' <<<"$contents" || { echo "no shaders in the package"; exit 1; }
grep -q '\./usr/share/tarnwick/fonts/DejaVuSans.ttf$' <<<"$contents" || { echo "no font in the package"; exit 1; }
for file in web/tarnwick.js windows/tarnwick.exe windows/tarnwick-dlls.txt windows/libfake-1.dll; do
  grep -q "\./usr/share/tarnwick/$file\$" <<<"$contents" || { echo "no $file in the package"; exit 1; }
done
echo "installed, ran, packaged: $(basename "$deb")"
