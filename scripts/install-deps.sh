#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-multimedia-dev libopencv-dev libopencv-contrib-dev libgif-dev opencv-data
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk qt6-translations-l10n
  python3-xlrd python3-olefile python3-xlwt
  xvfb xauth
  qt6-l10n-tools qt6-tools-dev librsvg2-bin
  desktop-file-utils appstream lintian dpkg-dev file
  poppler-utils
  libturbojpeg0-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "These packages are missing and installing them needs root." >&2
  echo "Run this command again as root (for example with sudo), or install them first:" >&2
  echo "  sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
