#!/usr/bin/env bash
# Times decimora-gimp in a headless GIMP against `decimora reduce` on the
# moiré kit's 48 MP speed image (large_rgb8.tif: 8000 x 6000 RGB, 8-bit,
# uncompressed TIFF), and prints the figures: for GIMP the plug-in call as a
# whole and its phases (loading the bundles, reading and reducing, the commit
# to GIMP), as decimora-gimp reports them with DECIMORA_GIMP_TIMES set; for
# the CLI its whole file-to-file run. Each figure is the median of the runs.
#
#   bash scripts/bench-gimp.sh [--factor F] [--runs N] [--kit DIR] [--work DIR]
#
# Builds decimora and decimora-gimp in Release (DECIMORA_BUILD_DIR, default
# build-release); the image is made once in the scratch folder (default
# $BENCH_WORK or /tmp/decimora-bench-gimp) with the kit's gen_images.py,
# which needs python3-numpy and python3-pil ($PY, else the first python3 on
# PATH or /usr/bin/python3 that has them).
set -euo pipefail
cd "$(dirname "$0")/.."

factor=4
runs=3
kit=${MOIRE_KIT:-/work/shared/bench/moire}
work=${BENCH_WORK:-/tmp/decimora-bench-gimp}
while [ $# -gt 0 ]; do
  case "$1" in
    --factor) factor=$2; shift ;;
    --runs) runs=$2; shift ;;
    --kit) kit=$2; shift ;;
    --work) work=$2; shift ;;
    *) echo "bench-gimp: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

build=${DECIMORA_BUILD_DIR:-build-release}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDECIMORA_TESTS=OFF > /dev/null
cmake --build "$build" -j2 --target decimora decimora-gimp > /dev/null
build=$(cd "$build" && pwd)

mkdir -p "$work"
image="$work/images/large_rgb8.tif"
if [ ! -f "$image" ]; then
  py=${PY:-}
  for candidate in python3 /usr/bin/python3; do
    if [ -z "$py" ] && "$candidate" -c 'import numpy, PIL' 2>/dev/null; then py=$candidate; fi
  done
  [ -n "$py" ] || { echo "bench-gimp: no python3 with numpy and PIL (apt-get install python3-numpy python3-pil)" >&2; exit 1; }
  echo "bench-gimp: making $image"
  "$py" "$kit/gen_images.py" "$work/images" --large --no-quality > /dev/null
fi

# One GIMP profile, made by a first start, with decimora-gimp on its plug-in path.
profile="$work/profile"
rm -rf "$profile"
GIMP2_DIRECTORY="$profile" gimp-console-2.10 -i -d -f -b '(gimp-quit 0)' > "$work/profile.log" 2>&1
echo "(plug-in-path \"\${gimp_dir}/plug-ins:\${gimp_plug_in_dir}/plug-ins:$build/gimp-plug-ins\")" >> "$profile/gimprc"

now() { date +%s.%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

batch="(let* ((image (car (gimp-file-load RUN-NONINTERACTIVE \"$image\" \"$image\")))
              (layer (car (gimp-image-get-active-drawable image))))
         (plug-in-decimora-reduce RUN-NONINTERACTIVE image layer $factor))"
: > "$work/cli.times"
: > "$work/gimp.times"
for run in $(seq 1 "$runs"); do
  start=$(now)
  "$build/decimora" reduce "$image" --factor "$factor" -o "$work/cli-reduced.tif" --force --quiet
  echo "$(now) $start" | awk '{ printf "%.3f\n", $1 - $2 }' >> "$work/cli.times"

  start=$(now)
  env -u DECIMORA_PLUGIN_DIR -u DISPLAY DECIMORA_GIMP_TIMES=1 GIMP2_DIRECTORY="$profile" \
    gimp-console-2.10 -i -d -f -b "$batch" -b '(gimp-quit 0)' > "$work/gimp-$run.log" 2>&1
  echo "process $(now) $start" | awk '{ printf "%s %.3f\n", $1, $2 - $3 }' >> "$work/gimp.times"
  grep -o 'decimora-gimp: [a-z-]* [0-9.]*' "$work/gimp-$run.log" | awk '{ print $2, $3 }' >> "$work/gimp.times" ||
    { echo "bench-gimp: the GIMP run failed, see $work/gimp-$run.log" >&2; exit 1; }
done

figure() { awk -v p="$1" '$1 == p { print $2 }' "$work/gimp.times" | median; }
echo
echo "48 MP RGB 8-bit (8000 x 6000), factor $factor, median of $runs runs, $(nproc) cores"
printf '%-44s %8s s\n' "decimora reduce, file to file" "$(median < "$work/cli.times")"
printf '%-44s %8s s\n' "GIMP plug-in call, whole" "$(figure whole)"
printf '%-44s %8s s\n' "  loading the bundles" "$(figure load-bundles)"
printf '%-44s %8s s\n' "  reading from GIMP and reducing" "$(figure read-and-reduce)"
printf '%-44s %8s s\n' "  commit (crop, scale, pixels, resolution)" "$(figure commit)"
printf '%-44s %8s s\n' "GIMP process (start, load TIFF, call, quit)" "$(figure process)"
