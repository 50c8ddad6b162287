#!/usr/bin/env bash
# Installs the Debian 12 packages Tessra needs to build, run and test.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libqcustomplot-dev libsimpleini-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool dbus dbus-x11 python3 python3-dbus python3-numpy python3-pandas locales ccache clang-format
  parallel slurm-wlm munge
  ffmpeg poppler-utils
  dpkg-dev file desktop-file-utils appstream
  # The fuzzing build: clang with its libFuzzer and sanitizer runtimes.
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
