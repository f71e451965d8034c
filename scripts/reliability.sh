#!/usr/bin/env bash
# Memory and thread checks beyond the sanitizer job of scripts/test.sh:
#
#  1. memcheck: every test program, built as usual, runs under valgrind's
#     memcheck with full leak checking (GUI programs on a virtual display).
#     Suppressions, for system libraries only, are in tests/valgrind.supp.
#  2. threads: a ThreadSanitizer build runs the tests that run code on
#     several threads: logging, the moiré filter's thread team, and the
#     decimora program's interrupt watcher (in the program the tests start).
#     Suppressions, for system libraries only, are in
#     tests/reliability/tsan.supp.
#
# Each program's output and report are kept in build-reliability-logs/. The
# script prints a summary and exits non-zero on any finding: a memory error,
# a leak, a data race or lock-order inversion, a failing or hanging test, or
# a build that fails.
#
# Usage: scripts/reliability.sh [REGEX]
#        scripts/reliability.sh --threads-only
#   REGEX limits the memcheck pass to the test names it matches
#   (e.g. 'e2e|reliability'); the default runs every test program.
#   --threads-only runs the ThreadSanitizer pass alone.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 2
root=$(pwd)

run_memcheck=yes
if [ "${1:-}" = --threads-only ]; then
  run_memcheck=no
  shift
fi

memcheck_build=build-reliability-memcheck
thread_build=build-reliability-tsan
logs=$root/build-reliability-logs
jobs=2
filter=${1:-.}
# The test programs that run code on several threads.
thread_tests=(common_mac_test reliability_logging_stress_test standin_moirefilter_test cli_program_test)
# The gtest filter of a program of which only some tests run threads of
# their own: the program tests' interrupt cases start decimora, which is
# built with ThreadSanitizer too, and signal it while its watcher, its
# filter threads or its worker processes run.
declare -A thread_test_filters=([cli_program_test]='Interrupt.*')
# Longest a program may take under valgrind before it counts as hanging.
program_timeout=2400

# Only definite and possible leaks count: indirect ones hang off a definite
# one. Forked children (death tests) end without freeing and are not checked.
# shellcheck disable=SC2054  # the commas belong to the options
valgrind_options=(
  --tool=memcheck
  --leak-check=full
  --show-leak-kinds=definite,indirect,possible
  --errors-for-leak-kinds=definite,possible
  --error-exitcode=99
  --num-callers=40
  --child-silent-after-fork=yes
  --gen-suppressions=all
  "--suppressions=$root/tests/valgrind.supp"
)
# die_after_fork=0: decimora's worker processes, forked while its interrupt
# watcher runs, start threads of their own, which ThreadSanitizer refuses by
# default in case the other thread held a lock at the fork. The parent's
# only other thread is that watcher, waiting in sigwait with no lock held
# (StartWatcher in cli/Interrupts.cpp returns only once it runs).
thread_options="halt_on_error=0 exitcode=66 second_deadlock_stack=1 die_after_fork=0 suppressions=$root/tests/reliability/tsan.supp"

findings=()

note() { printf '%s\n' "$*"; }
finding() {
  findings+=("$1")
  note "  FINDING: $1"
}

# What the checks found, with the fault sweeps' own summary lines.
summary() {
  note ""
  note "== reliability summary"
  if [ "$run_memcheck" = yes ]; then
    note "memcheck: ${memcheck_count:-0} test programs under valgrind, ${memcheck_clean:-0} clean"
  else
    note "memcheck: not run (--threads-only)"
  fi
  note "threads:  ${threads_count:-0} test programs under ThreadSanitizer, ${threads_clean:-0} clean"
  local sweeps
  sweeps=$(grep -h '^\[ SUMMARY  \]' "$logs"/memcheck-*.out 2>/dev/null | sed 's/^\[ SUMMARY  \] /  /')
  if [ -n "$sweeps" ]; then
    note "fault sweeps (under valgrind):"
    note "$sweeps"
  fi
  if [ ${#findings[@]} -eq 0 ]; then
    note "result: PASS, no findings"
  else
    note "result: FAIL, ${#findings[@]} findings:"
    for item in "${findings[@]}"; do note "  - $item"; done
  fi
  note "logs: build-reliability-logs/"
}

tools=(cmake ctest)
[ "$run_memcheck" = yes ] && tools+=(valgrind xvfb-run)
for tool in "${tools[@]}"; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    note "reliability: $tool is missing (apt-get install valgrind; scripts/setup.sh installs the rest)" >&2
    exit 2
  fi
done

rm -rf "$logs"
mkdir -p "$logs"

# Configures and builds `dir` with the given options and targets. A failure
# is a finding; the build goes on past it, so that the programs that did
# build are still checked.
build() {
  local dir=$1 label=$2
  shift 2
  local configure=() targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do configure+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  targets=("$@")
  note "== build ($label, $dir/)"
  local target_options=()
  [ ${#targets[@]} -gt 0 ] && target_options=(--target "${targets[@]}")
  if ! cmake -S . -B "$dir" -DDECIMORA_TESTS=ON "${configure[@]}" >"$logs/build-$label.log" 2>&1; then
    finding "the $label build could not be configured (build-reliability-logs/build-$label.log)"
    summary
    exit 1
  fi
  local keep_going=()
  [ -f "$dir/Makefile" ] && keep_going=(-- -k)
  [ -f "$dir/build.ninja" ] && keep_going=(-- -k 0)
  if ! cmake --build "$dir" -j "$jobs" "${target_options[@]}" "${keep_going[@]}" >>"$logs/build-$label.log" 2>&1; then
    finding "the $label build failed (build-reliability-logs/build-$label.log)"
  fi
}

# The registered tests of a build folder, one a line:
#   name, labels, working directory, environment, command
# separated by \037 (a tab would let empty fields run together), with the
# environment's NAME=VALUE entries separated by \036.
list_tests() {
  local dir=$1 regex=$2
  ctest --test-dir "$dir" -N -V -R "$regex" 2>/dev/null | awk '
    /^[0-9]+: Test command: / { sub(/^[0-9]+: Test command: /, ""); command = $0; environment = ""; labels = ""; next }
    /^[0-9]+: Working Directory: / { sub(/^[0-9]+: Working Directory: /, ""); directory = $0; next }
    /^[0-9]+:  [A-Za-z_][A-Za-z0-9_]*=/ {
      sub(/^[0-9]+:  /, "")
      environment = environment (environment == "" ? "" : "\036") $0
      next
    }
    /^Labels:/ { sub(/^Labels: */, ""); labels = $0; next }
    /^  Test +#[0-9]+: / { print $3 "\037" labels "\037" directory "\037" environment "\037" command }'
}

# Runs one registered test with `wrapper` words before its program, in its
# working directory and environment. Writes the exit status to $status_file.
run_test() {
  local name=$1 labels=$2 directory=$3 environment=$4 command=$5 output=$6 status_file=$7
  shift 7
  local wrapper=("$@")
  local words=()
  eval "words=($command)"
  local display=()
  if [[ ${words[0]} == */run-with-display.sh ]]; then
    display=("${words[0]}")
    words=("${words[@]:1}")
  fi
  local variables=()
  if [ -n "$environment" ]; then IFS=$'\036' read -r -a variables <<<"$environment"; fi
  (
    cd "$directory" &&
      exec env "${variables[@]}" timeout --kill-after=30 "$program_timeout" \
        "${display[@]}" "${wrapper[@]}" "${words[@]}"
  ) >"$output" 2>&1
  echo $? >"$status_file"
}

# ---- 1. memcheck -------------------------------------------------------------

# libjpeg-turbo's SIMD colour conversion computes several pixels in one
# register; valgrind cannot follow that exactly and marks the green sample of
# the last pixel in each row as undefined for some widths (a decoded 78-pixel
# RGB row, for one), although it equals the plain C decoder's, byte for byte.
# Under memcheck the library runs its plain C code instead, which valgrind
# follows exactly; what is checked is our code, not the library's SIMD.
memcheck_environment=JSIMD_FORCENONE=1

memcheck_one() {
  local name=$1 labels=$2 directory=$3 environment=$4 command=$5
  environment="${environment:+$environment$'\036'}$memcheck_environment"
  run_test "$name" "$labels" "$directory" "$environment" "$command" \
    "$logs/memcheck-$name.out" "$logs/memcheck-$name.status" \
    valgrind "${valgrind_options[@]}" "--log-file=$logs/memcheck-$name.valgrind"
}

# Judges one program's memcheck run: a finding for errors (leaks included),
# a failing test or a program that did not finish.
judge_memcheck() {
  local name=$1
  local status errors
  status=$(cat "$logs/memcheck-$name.status" 2>/dev/null || echo missing)
  errors=$(grep -ho 'ERROR SUMMARY: [0-9,]* errors' "$logs/memcheck-$name.valgrind" 2>/dev/null |
           awk '{gsub(/,/, "", $3); total += $3} END {print total + 0}')
  if [ "$errors" -gt 0 ]; then
    finding "memcheck $name: $errors errors (build-reliability-logs/memcheck-$name.valgrind)"
    verdict="$errors errors"
  elif [ "$status" = 124 ] || [ "$status" = 137 ]; then
    finding "memcheck $name: did not finish within ${program_timeout}s"
    verdict="timed out"
  elif [ "$status" = 126 ] || [ "$status" = 127 ]; then
    finding "memcheck $name: the program was not built"
    verdict="not built"
  elif [ "$status" != 0 ]; then
    finding "memcheck $name: the test failed, exit $status (build-reliability-logs/memcheck-$name.out)"
    verdict="test failed"
  else
    memcheck_clean=$((memcheck_clean + 1))
    verdict=clean
  fi
}

# Every test program whose name matches $filter, under valgrind.
memcheck_pass() {
  local memcheck_tests entry name labels directory environment command running
  memcheck_clean=0
  memcheck_count=0
  build "$memcheck_build" memcheck
  note "== memcheck (valgrind $(valgrind --version | sed 's/^valgrind-//'))"
  mapfile -t memcheck_tests < <(list_tests "$memcheck_build" "$filter")
  if [ ${#memcheck_tests[@]} -eq 0 ]; then
    finding "memcheck: no test matches '$filter'"
  fi

  # Programs without a display first, $jobs at a time; then the GUI programs
  # one at a time, as ctest runs them.
  running=0
  for entry in "${memcheck_tests[@]}"; do
    IFS=$'\037' read -r name labels directory environment command <<<"$entry"
    [[ " $labels " == *" gui "* ]] && continue
    memcheck_one "$name" "$labels" "$directory" "$environment" "$command" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
  done
  wait
  for entry in "${memcheck_tests[@]}"; do
    IFS=$'\037' read -r name labels directory environment command <<<"$entry"
    [[ " $labels " == *" gui "* ]] || continue
    memcheck_one "$name" "$labels" "$directory" "$environment" "$command"
  done
  for entry in "${memcheck_tests[@]}"; do
    IFS=$'\037' read -r name _ <<<"$entry"
    memcheck_count=$((memcheck_count + 1))
    judge_memcheck "$name"
    note "  $(printf '%-48s' "$name") $verdict"
  done
}

if [ "$run_memcheck" = yes ]; then memcheck_pass; fi

# ---- 2. ThreadSanitizer ------------------------------------------------------

threads_clean=0
threads_count=0
build "$thread_build" threads -DDECIMORA_SANITIZE_THREAD=ON -- "${thread_tests[@]}"
note "== threads (ThreadSanitizer)"
for wanted in "${thread_tests[@]}"; do
  entry=$(list_tests "$thread_build" "^${wanted}\$" | head -n 1)
  threads_count=$((threads_count + 1))
  if [ -z "$entry" ]; then
    finding "threads $wanted: not registered in $thread_build"
    continue
  fi
  IFS=$'\037' read -r name labels directory environment command <<<"$entry"
  shown=$name
  gtest_filter=${thread_test_filters[$name]:-}
  if [ -n "$gtest_filter" ]; then
    command+=" $(printf '%q' "--gtest_filter=$gtest_filter")"
    shown+=" ($gtest_filter)"
  fi
  environment="${environment:+$environment$'\036'}TSAN_OPTIONS=$thread_options log_path=$logs/tsan-$name"
  run_test "$name" "$labels" "$directory" "$environment" "$command" \
    "$logs/tsan-$name.out" "$logs/tsan-$name.status"
  status=$(cat "$logs/tsan-$name.status")
  reports=$(cat "$logs/tsan-$name".[0-9]* 2>/dev/null | grep -c '^WARNING: ThreadSanitizer')
  if [ "$reports" -gt 0 ]; then
    finding "threads $name: $reports ThreadSanitizer reports (build-reliability-logs/tsan-$name.*)"
    verdict="$reports reports"
  elif [ "$status" != 0 ]; then
    finding "threads $name: the test failed, exit $status (build-reliability-logs/tsan-$name.out)"
    verdict="test failed"
  else
    threads_clean=$((threads_clean + 1))
    verdict=clean
  fi
  note "  $(printf '%-48s' "$shown") $verdict"
done

summary
[ ${#findings[@]} -eq 0 ]
