#!/usr/bin/env bash
# Installs the Debian packages Lentaro builds, runs and tests with; only the missing ones.
set -euo pipefail

packages=(
  # toolchain and test tools
  build-essential cmake ninja-build pkg-config
  # the run-path check reads the binaries' dynamic sections with readelf
  binutils
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  # the digital read's benchmark copies the same track with cd-paranoia
  cd-paranoia
  # the installed desktop entry's check; screenshots under a virtual X server on Qt's xcb platform
  desktop-file-utils xvfb xauth qt6-qpa-plugins
  # the manual's check reads the PDF back with pdfinfo, pdftotext and pdfimages; its font
  poppler-utils fonts-dejavu-core
  # engine
  libfftw3-dev portaudio19-dev libasound2-dev
  # program
  qt6-base-dev libqt6sql6-sqlite libqt6printsupport6
  # CD drives, disc images, digital reads and disc changes
  libcdio-dev libcdio-paranoia-dev libudev-dev
  # MP3 conversion; its tests make MP3 files with lame, its benchmark runs mpg123 beside it
  libmpg123-dev libmp3lame-dev mpg123
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
