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
# The programs that start the sanitized decimora as child processes run on
# their own afterwards, one at a time. (decimora waits for its interrupt
# watcher thread to run before it forks workers: under this compiler's
# AddressSanitizer a fork while that thread was still starting handed the
# worker a locked allocator, and the worker hung.) Once, in a clean clone, one
# sanitized child of cli_program_test ended with status 1 in 0.1 s while the
# 1,000-file load test ran beside it; that was not seen again in 500 direct
# runs under load, so these three get one second try, and a failure that
# repeats still fails the job. The child's stderr is in the test's output.
child_tests="^(cli_program_test|cli_max_pixels_test|load_reduce_many_files_test)$"
ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE gui -E "$child_tests"
ctest --test-dir build-asan --output-on-failure -j 1 -R "$child_tests" --repeat until-pass:2

echo "== fuzz smoke (build-fuzz/)"
bash scripts/fuzz.sh --smoke
