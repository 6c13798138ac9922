#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test the tool.
# Only packages that are missing are installed; nothing happens when all are present.
set -euo pipefail
PKGS=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-multimedia-dev qt6-svg-dev
  qt6-image-formats-plugins qt6-qpa-plugins libqt6svg6 libgl-dev qt6-translations-l10n
  libicu-dev libudev-dev libjpeg-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps fonts-wqy-microhei
  desktop-file-utils appstream man-db file
  clang libclang-rt-14-dev
  libjpeg-turbo-progs libxcb-damage0-dev strace valgrind python3
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
