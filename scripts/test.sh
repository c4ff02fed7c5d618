#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite twice: a normal
# build and one under AddressSanitizer and UndefinedBehaviorSanitizer. Tests
# run under an Xvfb of their own (Mesa's llvmpipe; scripts/on-xvfb.sh) with
# SDL's dummy audio.
# Then the loaders' fuzzers (a clang build) run over their corpora and fuzz
# for FUZZ_SECONDS each (default 30), and last the web runtime is built and
# its browser tests run (scripts/test-web.sh), then the Windows runtime and
# its tests under Wine (scripts/test-windows.sh). Each phase's time is
# printed at the end, failed or not. The exit status is the verdict.
set -euo pipefail
cd "$(dirname "$0")/.."

# phase NAME COMMAND...: runs one phase and notes how long it took.
times=()
phase() {
  local name=$1 started=$SECONDS status=0
  shift
  "$@" || status=$?
  times+=("$(printf '%-28s %5d s%s' "$name" $((SECONDS - started)) "$([ $status -eq 0 ] || echo ' (failed)')")")
  return $status
}
print_times() {
  echo "== Phase times"
  printf '%s\n' "${times[@]}"
  printf '%-28s %5d s\n' "total" "$SECONDS"
}
trap print_times EXIT

phase "install" scripts/install-deps.sh
export SDL_AUDIODRIVER=dummy

phase "release build" scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_TESTS=ON -DTARNWICK_BENCH=ON -DTARNWICK_WERROR=ON
phase "sanitize build" scripts/build.sh build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_TESTS=ON -DTARNWICK_SANITIZE=ON -DTARNWICK_WERROR=ON
phase "fuzz build" scripts/build.sh build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_TESTS=OFF -DTARNWICK_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++

# run_suite BUILD_DIR [VAR=value...]: the suite on its own X display, with the
# given variables set for the tests only.
run_suite() {
  local dir=$1
  shift
  scripts/on-xvfb.sh env "$@" ctest --test-dir "$dir" --output-on-failure --timeout 300 -j "$(nproc)"
}

echo "== Tests (release build)"
phase "release tests" run_suite build/release

echo "== Tests (AddressSanitizer and UndefinedBehaviorSanitizer)"
# Mesa's driver and GLX/EGL vendor libraries, and SDL's udev, are loaded at run time
# and unloaded before exit; their leftovers would then be reported from an
# unknown module that no suppression can name. Preloading keeps them mapped,
# so their own leaks stay suppressed by library name.
driver=$(dpkg -L libgl1-mesa-dri | grep '/swrast_dri\.so$' | head -n 1)
preload="$driver libGLX_mesa.so.0 libEGL_mesa.so.0 libudev.so.1"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:verify_asan_link_order=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
phase "sanitize tests" run_suite build/sanitize LD_PRELOAD="$preload"

echo "== Fuzzers (libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)"
phase "fuzzers" tests/fuzz/run.sh build/fuzz "${FUZZ_SECONDS:-30}"

echo "== Web runtime and browser tests"
phase "web runtime build" scripts/build-web.sh build/web
phase "browser tests" env TARNWICK_WEB_RUNTIME=build/web scripts/test-web.sh

echo "== Windows runtime and its tests under Wine"
phase "Windows runtime build" scripts/build-windows.sh build/windows
phase "Windows tests" env TARNWICK_WINDOWS_RUNTIME=build/windows scripts/test-windows.sh
