#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build with all tests
# (GUI tests on a virtual display), then the AddressSanitizer and
# UndefinedBehaviorSanitizer build of the tests that need no display, then a
# short smoke run of every fuzz target (scripts/fuzz.sh --smoke).
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
# This includes the programs that start the sanitized decimora as child
# processes. (decimora waits for its interrupt watcher thread to run before it
# forks workers: under this compiler's AddressSanitizer a fork while that
# thread was still starting handed the worker a locked allocator, and the
# worker hung.)
ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE gui

echo "== fuzz smoke (build-fuzz/)"
bash scripts/fuzz.sh --smoke
