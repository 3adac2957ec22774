#!/usr/bin/env bash
# Installs what is missing, builds the programs and starts the desktop program
# on a demo data folder (made from the synthetic sample archive when it has no
# draws yet). Extra arguments go to the program.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/bootstrap.sh"
build="${TESSARA_BUILD_DIR:-$root/build/release}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARA_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" --target tessara tessara-cli
demo="${TESSARA_DEMO_DIR:-$root/demo}"
mkdir -p "$demo"
if [ ! -f "$demo/Tessara_6x42.ldr" ]; then
  cp "$root/data/sample/Tessara_6x42.ldr" "$demo/"
fi
# The demo scenario, also as the current scenario of a new demo folder.
cp -n "$root/data/sample/Tessara_demo.lsc" "$demo/" 2>/dev/null || true
if [ ! -f "$demo/Tessara_6x42.lss" ]; then
  cp "$root/data/sample/Tessara_demo.lsc" "$demo/Tessara_6x42.lss"
fi
exec "$build/src/gui/tessara" --data-dir "$demo" "$@"
