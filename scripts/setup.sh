#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need.
# Packages already present are left alone; nothing is re-installed.
set -euo pipefail

packages=(
  build-essential cmake make pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-charts-dev
  qt6-svg-dev libqt6svg6 qt6-translations-l10n
  libicu-dev zlib1g-dev libfontconfig-dev libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  fonts-ipafont-gothic fonts-ipafont-mincho
  xvfb xauth x11-utils imagemagick openbox xdotool qt6-qpa-plugins
  desktop-file-utils appstream
  file dpkg-dev lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
