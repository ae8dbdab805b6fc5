#!/usr/bin/env bash
# Installs what building, running and testing the project needs on Debian.
# Safe to run again: packages already present are skipped by apt.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config libglib2.0-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  qt6-webengine-dev qt6-webengine-dev-tools
  qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth x11-utils openbox imagemagick fonts-dejavu-core
  libgl1-mesa-dri libx11-dev libxtst-dev python3
  clang-14 libclang-rt-14-dev llvm-14  # scripts/fuzz.sh: libFuzzer and its symbolizer
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
