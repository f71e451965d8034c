#!/usr/bin/env bash
# Builds the Debian package decimora_<version>_<arch>.deb with
# `cpack -G DEB` and prints its path as the last line. Install it with
# `sudo apt install ./<that path>`.
#   scripts/package.sh            a Release build in build-package/
#   scripts/package.sh BUILD_DIR  that build folder as it is configured
#                                 (scripts/test.sh passes its built build/)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
if [ $# -ge 1 ]; then
  build=$1
  [ -f "$build/CMakeCache.txt" ] || { echo "package: $build is not a configured build folder" >&2; exit 2; }
else
  build=build-package
  echo "== configure ($build/, Release)"
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDECIMORA_TESTS=OFF > /dev/null
fi
echo "== build ($build/)"
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
echo "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
