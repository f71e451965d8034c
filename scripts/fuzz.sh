#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang and runs each one for a
# while, then prints per target the executions, executions per second, new
# corpus entries and findings. Exits non-zero on any finding.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   each target for SECONDS (default 60)
#   scripts/fuzz.sh --smoke [TARGET...]     each target for 8 seconds (CI; about 1.5 min with the build)
#
# The build and everything a run produces live in build-fuzz/ (or
# $DECIMORA_FUZZ_BUILD): the growing corpus in corpus/<target>/, findings
# (crash-*, leak-*, timeout-*, oom-* inputs) in findings/<target>/, and each
# run's log in logs/<target>.log. A finding is replayed with
#   build-fuzz/fuzz_<target> build-fuzz/findings/<target>/<file>
# and, once fixed, belongs in tests/fuzz_regressions/inputs/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(strings text_conversions corefoundation registration recorded_step image_tiff image_png image_jpeg image_webp)

seconds=60
if [ "${1:-}" = "--smoke" ]; then
  seconds=8
  shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then targets=("${all_targets[@]}"); fi
for target in "${targets[@]}"; do
  if [[ ! " ${all_targets[*]} " =~ " ${target} " ]]; then
    echo "fuzz: unknown target '$target' (one of: ${all_targets[*]})" >&2
    exit 2
  fi
done

build=${DECIMORA_FUZZ_BUILD:-build-fuzz}
jobs=${DECIMORA_FUZZ_JOBS:-2}

# clang with libFuzzer and the sanitizer runtimes, cmake, and the image
# libraries the readers are built against; installed only when missing.
packages=(clang libclang-rt-14-dev cmake make pkg-config libtiff-dev libpng-dev libjpeg-dev zlib1g-dev liblcms2-dev libwebp-dev)
missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "fuzz: installing ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

echo "== build ($build/)"
CC=clang CXX=clang++ cmake -S fuzz -B "$build" >/dev/null
cmake --build "$build" -j "$jobs"
"$build/fuzz_seeds" "$build/seeds"

# The value libFuzzer prints as "stat::NAME: VALUE" at the end of a run.
final_stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }

rows=()
finding_files=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  log="$build/logs/$target.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  rm -f "$findings"/*

  # New inputs go to the first folder; the committed and generated seeds
  # are only read.
  inputs=("$corpus")
  for seeds in "fuzz/corpus/$target" "$build/seeds/$target"; do
    if [ -d "$seeds" ]; then inputs+=("$seeds"); fi
  done
  options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
           -artifact_prefix="$findings/")
  if [ -f "fuzz/dictionaries/$target.dict" ]; then options+=(-dict="fuzz/dictionaries/$target.dict"); fi

  echo "== $target: ${seconds} s"
  "$build/fuzz_$target" "${options[@]}" "${inputs[@]}" >"$log" 2>&1 || true

  executions=$(final_stat number_of_executed_units "$log")
  rate=$(final_stat average_exec_per_sec "$log")
  added=$(final_stat new_units_added "$log")
  found=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
  count=0
  if [ -n "$found" ]; then
    count=$(printf '%s\n' "$found" | wc -l)
    while IFS= read -r file; do finding_files+=("$file"); done <<<"$found"
  elif [ -z "$executions" ]; then
    # No statistics and no finding: the target did not run at all.
    count=1
    finding_files+=("$log (the target did not run)")
  fi
  rows+=("$(printf '%-18s %14s %10s %10s %9s' "$target" "${executions:-?}" "${rate:-?}" "${added:-?}" "$count")")
done

echo
printf '%-18s %14s %10s %10s %9s\n' target executions exec/s "new units" findings
printf '%s\n' "${rows[@]}"
if [ ${#finding_files[@]} -gt 0 ]; then
  echo
  echo "findings (logs in $build/logs/):"
  printf '  %s\n' "${finding_files[@]}"
  exit 1
fi
