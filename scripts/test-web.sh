#!/usr/bin/env bash
# The browser tests: installs what is missing, builds the web runtime
# (build/web) and the desktop release build (build/release) when needed, then
# plays exported games in headless Chromium (tests/web/run.js). Extra arguments
# pick tests by words of their names. TARNWICK_WEB_RUNTIME=DIR tests the
# runtime in DIR instead of building build/web. The exit status is the verdict.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh web
runtime=${TARNWICK_WEB_RUNTIME:-}
if [ -z "$runtime" ]; then
  scripts/build-web.sh build/web
  runtime=build/web
fi
if [ ! -f build/release/CMakeCache.txt ]; then
  scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_TESTS=ON -DTARNWICK_BENCH=ON -DTARNWICK_WERROR=ON
fi
cmake --build build/release -j "$(nproc)" --target tarnwick

# The harness's packages, pinned by the lock file; installed again only when it changed.
if ! cmp -s tests/web/package-lock.json tests/web/node_modules/.installed-lock 2>/dev/null; then
  (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
  cp tests/web/package-lock.json tests/web/node_modules/.installed-lock
fi

echo "== Browser tests"
SDL_AUDIODRIVER=dummy scripts/on-xvfb.sh node tests/web/run.js build/release/tarnwick "$runtime" "$@"
