#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/, then
# `cpack -G DEB` there. Prints the path of decimora_<version>_<arch>.deb as
# its last line. Install it with `sudo apt install ./<that path>`.
#   DECIMORA_PACKAGE_BUILD_DIR  the build folder (default build-package)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

build=${DECIMORA_PACKAGE_BUILD_DIR:-build-package}
jobs=$(nproc 2>/dev/null || echo 2)

echo "== build ($build/, Release)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDECIMORA_TESTS=OFF \
  -DDECIMORA_GIMP_LINK_BUNDLES=ON > /dev/null
cmake --build "$build" -j "$jobs"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
logged=$(sed -n '1s/^decimora (\([^)]*\)).*/\1/p' packaging/changelog)
if [ "$logged" != "$version" ]; then
  echo "package: packaging/changelog's latest entry is for $logged, the project is $version: add an entry" >&2
  exit 1
fi

echo "== package"
deb="$build/decimora_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"
(cd "$build" && cpack -G DEB > cpack.log) || { cat "$build/cpack.log" >&2; exit 1; }
[ -f "$deb" ] || { echo "package: cpack wrote no $deb" >&2; exit 1; }
echo "$(pwd)/$deb"
