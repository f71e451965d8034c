#!/usr/bin/env bash
# Installs what the project needs on a Debian 12 machine, when it is missing.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake pkg-config g++ gobjc++
  gnustep-devel
  googletest libgtest-dev
  xvfb xauth fonts-dejavu-core
  libtiff-dev libpng-dev libjpeg-dev zlib1g-dev
  # WebP files in and out (libwebp with its mux and demux libraries)
  libwebp-dev
  # Little CMS: colour profiles, for reducing in linear light
  liblcms2-dev
  valgrind
  # GIMP 2.10 and libgimp for decimora-gimp; xdotool and ImageMagick drive and
  # photograph GIMP in its GUI test
  gimp libgimp2.0-dev xdotool imagemagick
  # clang with libFuzzer and its sanitizer runtimes, for scripts/fuzz.sh
  clang libclang-rt-14-dev
  # The image-file corpus test makes its files with the format's own tools
  # and checks the outputs against Pillow's decoding
  libtiff-tools webp python3-pil python3-numpy
  # The Debian package (scripts/package.sh): cpack reads its dependencies with
  # dpkg-shlibdeps and file; the test checks it with lintian, man and
  # bash-completion
  dpkg-dev file lintian man-db bash-completion
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
