#!/usr/bin/env bash
# Installs the Debian packages Cantorel needs to build, run and test.
# Only missing packages are installed; uses sudo when not run as root.
set -euo pipefail

BUILD_PKGS=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libtag1-dev
  libgtest-dev libgmock-dev libbenchmark-dev)
RUN_PKGS=(fonts-liberation2 gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gstreamer1.0-plugins-bad gstreamer1.0-alsa timgm6mb-soundfont xdg-utils)
TEST_PKGS=(xvfb xauth x11-utils imagemagick lame sox gstreamer1.0-tools dbus
  clang libclang-rt-14-dev python3 desktop-file-utils
  appstream groff-base debootstrap dpkg-dev file lintian
  libglib2.0-bin openbox xdotool x11-xserver-utils weston qt6-wayland
  python3-dbus python3-gi ccache lld)

want=("${BUILD_PKGS[@]}" "${RUN_PKGS[@]}")
if [ "${1:-}" = "--test" ]; then
  want+=("${TEST_PKGS[@]}")
fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
