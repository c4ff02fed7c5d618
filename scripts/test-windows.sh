#!/usr/bin/env bash
# The Windows tests: installs what is missing, builds the Windows runtime
# (build/windows, scripts/build-windows.sh) and the desktop release build
# (build/release) when needed, then bundles games for Windows and runs them
# under Wine (tests/windows/run.js). Extra arguments pick tests by words of
# their names. TARNWICK_WINDOWS_RUNTIME=DIR tests the runtime in DIR instead
# of building build/windows. The exit status is the verdict.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh windows
runtime=${TARNWICK_WINDOWS_RUNTIME:-}
if [ -z "$runtime" ]; then
  scripts/build-windows.sh build/windows
  runtime=build/windows
fi
if [ ! -f build/release/CMakeCache.txt ]; then
  scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_TESTS=ON -DTARNWICK_BENCH=ON -DTARNWICK_WERROR=ON
fi
# All of it: one test installs the framework from this build.
cmake --build build/release -j "$(nproc)"

echo "== Windows tests (Wine)"
SDL_AUDIODRIVER=dummy scripts/on-xvfb.sh node tests/windows/run.js build/release/tarnwick "$runtime" "$@"
