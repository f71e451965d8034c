#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build with all tests
# (GUI tests on a virtual display), then the Debian package's check
# (scripts/check-package.sh), then the AddressSanitizer and
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

echo "== Debian package (from build/)"
# Packaged from the build above (cpack strips its debug information), rather
# than from a second, Release build.
bash scripts/check-package.sh build

echo "== sanitizer build (build-asan/)"
cmake -S . -B build-asan -DDECIMORA_TESTS=ON -DDECIMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j "$jobs"
echo "== sanitizer tests (no GUI)"
# The programs that start the sanitized decimora as child processes run on
# their own afterwards, one at a time. (decimora waits for its interrupt
# watcher thread to run before it forks workers: under this compiler's
# AddressSanitizer a fork while that thread was still starting handed the
# worker a locked allocator, and the worker hung.) Their children's leak
# checker crashed now and then in its tracer on a busy machine; the tests'
# ASAN_OPTIONS avoid that (cmake/DecimoraTesting.cmake). They get one second
# try all the same: a failure that repeats still fails the job, and the
# failing child's stderr is in the test's output.
child_tests="^(cli_program_test|cli_max_pixels_test|load_reduce_many_files_test)$"
# The gimp tests are left out: GIMP starts their plug-in programs and ignores
# how they exit, so a sanitizer report would not fail them, and every sanitized
# plug-in process reports libgimp's unsymbolised libraries' allocations as leaks.
ctest --test-dir build-asan --output-on-failure -j "$jobs" -LE "gui|gimp" -E "$child_tests"
ctest --test-dir build-asan --output-on-failure -j 1 -R "$child_tests" --repeat until-pass:2

echo "== fuzz smoke (build-fuzz/)"
bash scripts/fuzz.sh --smoke
