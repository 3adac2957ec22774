#!/usr/bin/env bash
# Installs every system package the project needs. Safe to run again: it only
# installs what is missing. libsqlite3-dev is the storage of tessara-server;
# xvfb, imagemagick and xdotool serve the screenshots taken of the running
# program, openbox draws the window's caption in them (scripts/update_trial.sh).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  libxkbcommon-x11-0 libxcb-cursor0
  libcurl4-openssl-dev libssl-dev zlib1g-dev libfmt-dev libxlsxwriter-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev libsqlite3-dev
  qt6-translations-l10n
  fonts-dejavu-core xvfb xauth imagemagick xdotool openbox
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
