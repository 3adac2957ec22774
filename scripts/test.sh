#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs
# every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/bootstrap.sh"
build="${TESSARA_TEST_BUILD_DIR:-$root/build/test}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARA_WERROR=ON \
  -DTESSARA_BUILD_TESTS=ON > /dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
