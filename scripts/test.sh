#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test; then builds the core and command-line tests once more with the
# address and undefined-behaviour sanitizers (the asan preset) and runs them.
# TESSARA_SKIP_ASAN=1 leaves the sanitizer run out.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/bootstrap.sh"
build="${TESSARA_TEST_BUILD_DIR:-$root/build/test}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARA_WERROR=ON \
  -DTESSARA_BUILD_TESTS=ON > /dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")

if [ "${TESSARA_SKIP_ASAN:-0}" != 1 ]; then
  asan="${TESSARA_ASAN_BUILD_DIR:-$root/build/asan}"
  # The desktop program's tests stay out: Qt's own libraries are not built
  # with the sanitizers. The limit per test is wider, since everything runs
  # several times slower.
  (cd "$root" && cmake --preset asan -B "$asan" -DTESSARA_BUILD_GUI=OFF \
    -DTESSARA_TEST_TIMEOUT=1800 > /dev/null)
  cmake --build "$asan" -j "$(nproc)" --target core_tests cli_tests tessara-cli
  # Any finding fails the test that made it. The programs not built here
  # (the server's and the online tests) leave only placeholders, skipped.
  (cd "$asan" && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure -j "$(nproc)" -E '_NOT_BUILT$')
fi
