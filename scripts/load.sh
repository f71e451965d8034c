#!/usr/bin/env bash
# Load test (tests/load/): builds the decimora program and the load test in
# Release and runs it with its output shown. A thousand small PNG, TIFF and
# JPEG files are reduced by 2 in two worker processes; the test checks every
# output, compares 50 with runs on their file alone, looks for leftover
# files, and prints each worker's resident memory after its 100th and its
# last file, which must be within 5 % of each other.
#
#   bash scripts/load.sh [--no-setup]
#     --no-setup   do not install packages (still builds)
# DECIMORA_BUILD_DIR chooses the build folder (default build-release).
set -euo pipefail
cd "$(dirname "$0")/.."

setup=1
while [ $# -gt 0 ]; do
  case "$1" in
    --no-setup) setup=0 ;;
    -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "load: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done

if [ "$setup" = 1 ]; then bash scripts/setup.sh; fi

build=${DECIMORA_BUILD_DIR:-build-release}
jobs=$(nproc 2>/dev/null || echo 2)
echo "== build ($build/, Release)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDECIMORA_TESTS=ON > /dev/null
cmake --build "$build" -j "$jobs" --target load_reduce_many_files_test
echo "== load test"
ctest --test-dir "$build" -L load --output-on-failure --verbose
