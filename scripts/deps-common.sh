# The part of scripts/web-deps.sh and scripts/windows-deps.sh they share,
# sourced by both: each dependency is fetched with `apt-get source` from
# Debian's archive, built static by the sourcing script's build_PACKAGE and
# installed into PREFIX; a stamp named after its version and its recipe makes
# the next run skip it, so only a new version or a changed recipe builds again.
# deps_init PREFIX sets prefix (the install folder), work (the unpacked
# sources, beside the prefix) and jobs.

deps_init() {
  prefix=$(realpath -m "$1")
  work=$(realpath -m "$prefix/../src")
  mkdir -p "$prefix/include" "$prefix/lib/pkgconfig" "$work" "$prefix/stamps"
  jobs=$(nproc)
}

# Source packages come from the Debian archive the machine already uses.
enable_sources() {
  apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources && return
  local codename uri sudo=""
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  uri=$(grep -hoE 'https?://[^ ]*/debian/?$' /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
        head -n 1 || true)
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  printf 'Types: deb-src\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "${uri:-http://deb.debian.org/debian}" "$codename" "$codename" |
    $sudo tee /etc/apt/sources.list.d/tarnwick-web-sources.sources >/dev/null
  $sudo apt-get update -qq
}

version_of() { apt-cache showsrc "$1" | awk '/^Version:/ { print $2 }' | sort -V | tail -n 1; }

# fetch PACKAGE: unpacks its newest source into $work and prints the folder.
fetch() {
  local package=$1 version folder
  version=$(version_of "$package")
  folder=$work/$package-$version
  if [ ! -d "$folder" ]; then
    rm -rf "$work/tmp" && mkdir -p "$work/tmp"
    (cd "$work/tmp" && apt-get source -qq "$package=$version" >/dev/null 2>&1 ||
                       apt-get source -q "$package=$version")
    mv "$(find "$work/tmp" -mindepth 1 -maxdepth 1 -type d | head -n 1)" "$folder"
    rm -rf "$work/tmp"
  fi
  echo "$folder"
}

# build_packages LABEL PACKAGE...: builds each package whose stamp is missing,
# in the order given (each finds the ones before it in the prefix), and says
# how long each took.
build_packages() {
  local label=$1 package version recipe stamp started folder
  shift
  enable_sources
  for package in "$@"; do
    version=$(version_of "$package")
    # A changed recipe builds the package again too.
    recipe=$(declare -f "build_$package" | md5sum | cut -c1-8)
    stamp=$prefix/stamps/$package-$version-$recipe
    [ -e "$stamp" ] && continue
    echo "== $package $version ($label)"
    started=$SECONDS
    folder=$(fetch "$package")
    "build_$package" "$folder"
    touch "$stamp"
    echo "   $package: $((SECONDS - started)) s"
  done
}

# The recipes both targets share; the sourcing script defines cmake_package
# (configure, build and install with its compiler).
build_libpng1.6() {
  cmake_package "$1" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DZLIB_ROOT="$prefix"
}

# The prefix's zlib, not the copy FreeType carries: both in one program clash.
build_freetype() {
  cmake_package "$1" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_BROTLI=ON -DFT_REQUIRE_ZLIB=ON -DZLIB_ROOT="$prefix"
}

build_libzip() {
  cmake_package "$1" -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF \
    -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=OFF \
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF -DZLIB_ROOT="$prefix"
}

build_box2d() {
  cmake_package "$1" -DBOX2D_BUILD_UNIT_TESTS=OFF -DBOX2D_BUILD_TESTBED=OFF
}

build_pugixml() { cmake_package "$1" -DPUGIXML_BUILD_TESTS=OFF; }

# WAV, Ogg Vorbis, FLAC and MP3 through the decoders the source carries.
build_libsdl2-mixer() {
  cmake_package "$1" -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DSDL2MIXER_VENDORED=OFF \
    -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_CMD=OFF \
    -DSDL2MIXER_FLAC_LIBFLAC=OFF -DSDL2MIXER_FLAC_DRFLAC=ON -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF \
    -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_MP3_DRMP3=ON -DSDL2MIXER_VORBIS=STB
}

# lua_library SOURCE CC AR MULTIARCH CFLAGS...: Lua's own makefile builds
# programs too; the library is its sources less those.
lua_library() {
  local source=$1 cc=$2 ar=$3 multiarch=$4 objects=() build
  shift 4
  build=$source/build-$multiarch
  rm -rf "$build" && mkdir -p "$build" "$prefix/include/lua5.1"
  # Debian's luaconf.h names the multiarch folder of Lua's C modules from here.
  echo "#define DEB_HOST_MULTIARCH \"$multiarch\"" >"$prefix/include/lua5.1/lua5.1-deb-multiarch.h"
  for file in "$source"/src/*.c; do
    case $(basename "$file") in lua.c | luac.c | print.c) continue ;; esac
    objects+=("$build/$(basename "${file%.c}").o")
    "$cc" -O2 "$@" -I"$prefix/include/lua5.1" -c "$file" -o "${objects[-1]}" &
    [ "$(jobs -r | wc -l)" -ge "$jobs" ] && wait -n
  done
  wait
  "$ar" rcs "$prefix/lib/liblua5.1.a" "${objects[@]}"
  cp "$source"/src/{lua.h,luaconf.h,lualib.h,lauxlib.h} "$source/etc/lua.hpp" "$prefix/include/lua5.1/"
  printf 'prefix=%s\nName: Lua\nDescription: Lua 5.1\nVersion: 5.1.5\nLibs: -L${prefix}/lib -llua5.1\nCflags: -I${prefix}/include/lua5.1\n' \
    "$prefix" >"$prefix/lib/pkgconfig/lua5.1.pc"
}

# GLM and nlohmann-json are headers, copied from their Debian packages.
copy_headers() {
  cp -r /usr/include/glm "$prefix/include/"
  mkdir -p "$prefix/share/cmake"
  cp -r /usr/include/nlohmann "$prefix/include/"
  cp -r /usr/share/cmake/nlohmann_json /usr/share/cmake/glm "$prefix/share/cmake/"
  # The copied package files name /usr/include; here the headers sit in the prefix.
  find "$prefix/share/cmake" -name '*.cmake' -exec sed -i "s#/usr/include#$prefix/include#g" {} +
}
