#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build with all tests
# (GUI tests on a virtual display), then the AddressSanitizer and
# UndefinedBehaviorSanitizer build of the tests that need no display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)

echo "== build (build/)"
cmake -S . -B build -DDECIMORA_TESTS=ON
cmake --build build -j "$jobs"
echo "== tests"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== sanitizer build (build-asan/)"
cmake -S . -B build-asan -DDECIMORA_TESTS=ON -DDECIMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j "$jobs"
echo "== sanitizer tests (no GUI)"
# The programs that start the sanitized decimora as child processes over many
# files (labels cli and load, and the --max-pixels test) run in the normal
# build above; under the sanitizers their children's leak checker can fail on
# its own on a loaded machine.
ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE gui -E "^(cli_|load_)|max_pixels"
