#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tarnwick need;
# `scripts/install-deps.sh web` those of the web runtime and its browser tests,
# `scripts/install-deps.sh windows` those of the Windows runtime and its tests.
# Does nothing when all of them are already installed.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libsdl2-dev libsdl2-mixer-dev libglew-dev libpng-dev libfreetype-dev libglm-dev
  liblua5.1-0-dev swig python3
  libbox2d-dev       # rigid-body physics (src/physics)
  libzip-dev         # game archives: running, packaging and fusing them
  zlib1g-dev libpugixml-dev nlohmann-json3-dev  # tile maps: layer data, TMX, TMJ
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev  # the fuzzers: clang and its libFuzzer and sanitizer runtimes
  xvfb xauth libgl1-mesa-dri libglx-mesa0
  xdotool            # drives the real window in the input tests
  sox                # Ogg and FLAC files for the audio tests; the arcade example's sounds
  fonts-dejavu-core  # DejaVu Sans: the default font of text on screen, and the font tests
  xfonts-base        # a bitmap font for the font tests
  dpkg-dev file      # the .deb's Depends, derived from what the executable links (dpkg-shlibdeps; CPack finds it with file)
)

if [ "${1:-}" = web ]; then
  packages=(
    emscripten dpkg-dev  # the compiler, and apt-get source for the libraries it builds
    libglm-dev nlohmann-json3-dev fonts-dejavu-core cmake make pkg-config swig python3
    chromium nodejs      # the browser tests: headless Chromium driven over DevTools
  )
  # Debian's nodejs comes without npm (other builds of it bring their own).
  command -v npm >/dev/null || packages+=(npm)
elif [ "${1:-}" = windows ]; then
  packages=(
    mingw-w64 dpkg-dev   # the cross compiler (posix threads), and apt-get source for the libraries it builds
    cmake make pkg-config swig python3 libglm-dev nlohmann-json3-dev fonts-dejavu-core
    wine wine64          # the Windows tests run the runtime under Wine
  )
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
