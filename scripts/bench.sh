#!/usr/bin/env bash
# Measures decimora with the moiré kit beside ImageMagick, libvips, Pillow and
# OpenCV, adds a step-edge ringing test, the contrast kept near the new
# Nyquist frequency, one filter thread against the default, and a scale
# series up to 1.5 gigapixels under a memory budget, and prints the figures
# with one pass/fail line per target (bench/README.md).
# Installs what it needs (Debian 12), builds in Release, and runs a copy of the
# kit in a scratch folder.
#
#   bash scripts/bench.sh [options]
#     --quality          run only the quality pass (the kit's and the step edge)
#     --timing           run only the timing pass
#     --step-edge        run only the step-edge test
#     --sharpness        run only the contrast kept near the new Nyquist frequency
#                        (factors 2,3,4,8,16 unless --factors is given)
#     --light            run only the quality pass scored in linear light, with GIMP's
#                        Scale Image (cubic, NoHalo) as peers
#     --tone             run only the tone of dot screens and light against coded speed
#     --threads          run only one thread against the default (factors 2,4,8,16)
#     --scale            run only the scale series (48 MP, 432 MP, 1.44 GP by 4)
#     --scale-memory SIZE  the scale series' --memory budget (default 512M)
#     --runs N           timed pairs per method and factor (default 7)
#     --timing-runs N    how many times the timing pass runs (default 2)
#     --factors LIST     comma list of factors (default 2,3,4,5,8,11,16)
#     --quality-methods LIST  kit methods in the quality pass (default: all, with custom)
#     --all-timing       time every kit method, not only decimora, Pillow LANCZOS and vips
#     --kit DIR          the kit (default $MOIRE_KIT or /work/shared/bench/moire)
#     --work DIR         scratch folder (default $BENCH_WORK or /tmp/decimora-bench;
#                        ~8 GB of images, and ~9 GB more during the scale series)
#     --fresh            remove the scratch folder's images first
#     --no-setup         do not install packages (still builds)
# A run of every part with the default runs and factors also writes
# bench/RESULTS.md. DECIMORA_BUILD_DIR chooses the build folder (default
# build-release).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

parts=""
runs=7
timing_runs=2
factors=2,3,4,5,8,11,16
sharpness_factors=2,3,4,8,16
quality_methods=""
timing_methods="custom,pil-lanczos,vips-reduce,startup-pillow"
kit=${MOIRE_KIT:-/work/shared/bench/moire}
work=${BENCH_WORK:-/tmp/decimora-bench}
fresh=0
setup=1
scale_memory=512M
while [ $# -gt 0 ]; do
  case "$1" in
    --quality) parts="$parts quality step" ;;
    --timing) parts="$parts timing" ;;
    --light) parts="$parts light" ;;
    --tone) parts="$parts tone" ;;
    --step-edge) parts="$parts step" ;;
    --sharpness) parts="$parts sharpness" ;;
    --threads) parts="$parts threads" ;;
    --scale) parts="$parts scale" ;;
    --scale-memory) scale_memory=$2; shift ;;
    --runs) runs=$2; shift ;;
    --timing-runs) timing_runs=$2; shift ;;
    --factors) factors=$2; sharpness_factors=$2; shift ;;
    --quality-methods) quality_methods=$2; shift ;;
    --all-timing) timing_methods="" ;;
    --kit) kit=$2; shift ;;
    --work) work=$2; shift ;;
    --fresh) fresh=1 ;;
    --no-setup) setup=0 ;;
    -h|--help) sed -n '2,34p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
  shift
done
full=0
if [ -z "$parts" ]; then
  parts="quality light tone step sharpness timing threads scale"
  if [ "$runs" = 7 ] && [ "$timing_runs" = 2 ] && [ "$factors" = 2,3,4,5,8,11,16 ] && [ -z "$quality_methods" ] \
    && [ "$scale_memory" = 512M ]; then
    full=1
  fi
fi
wants() { case " $parts " in *" $1 "*) return 0 ;; *) return 1 ;; esac; }

start=$(date +%s)
stage() { echo "== $1 ($(( $(date +%s) - start )) s)"; }
load_start=$(cut -d' ' -f1-3 /proc/loadavg)

if [ "$setup" = 1 ]; then
  stage "set-up"
  bash scripts/setup.sh
  kit_packages=(imagemagick libvips-tools python3-pil python3-numpy python3-scipy python3-opencv time)
  missing=()
  for package in "${kit_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "bench: installing ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
fi

# Debian's python3 has the modules; a python3 earlier on PATH may not.
py=""
for candidate in /usr/bin/python3 $(which -a python3 2>/dev/null); do
  if "$candidate" -c 'import numpy, scipy, PIL, cv2' 2>/dev/null; then py=$candidate; break; fi
done
if [ -z "$py" ]; then echo "bench: no python3 with numpy, scipy, PIL and cv2" >&2; exit 1; fi
if [ ! -f "$kit/run_quality.py" ]; then echo "bench: no moiré kit in $kit (give --kit DIR)" >&2; exit 1; fi

build=${DECIMORA_BUILD_DIR:-build-release}
stage "build ($build/, Release)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDECIMORA_TESTS=OFF > /dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target decimora
decimora="$root/$build/decimora"

# The kit writes next to itself, so it runs from a copy.
mkdir -p "$work"
if [ "$fresh" = 1 ]; then rm -rf "$work/images" "$work/crops"; fi
rm -rf "$work/kit"
cp -r "$kit" "$work/kit"
chmod -R u+w "$work/kit"
# decimora reduces in light by default; the coded quality pass asks for
# --tone coded, so that its figures compare with the peers' on coded values.
export MOIRE_CUSTOM_CMD="$(printf '%q' "$decimora") reduce {in} -o {out} --factor {f} --force --quiet"
coded_cmd="$MOIRE_CUSTOM_CMD --tone coded"

# Images: only those missing from an earlier run are generated.
gen_args=()
if ! { wants quality || wants light; } || [ -f "$work/images/gr_g16.json" ]; then gen_args+=(--no-quality); fi
if wants quality || wants light; then
  missing_factors=$(IFS=,; for f in $factors; do [ -f "$work/images/zpf${f}_rgb8.json" ] || printf '%s,' "$f"; done)
  if [ -n "$missing_factors" ]; then gen_args+=(--factors "${missing_factors%,}"); fi
fi
if { wants timing || wants threads || wants scale || wants tone; } && [ ! -f "$work/images/large_rgb8.json" ]; then
  gen_args+=(--large)
fi
if [ "${gen_args[*]}" != "--no-quality" ]; then   # something is missing
  stage "generate images into $work/images"
  "$py" "$work/kit/gen_images.py" "$work/images" "${gen_args[@]}" > "$work/gen.log"
fi

summary_args=(--kit "$work/kit" --decimora "$decimora")
if wants quality; then
  stage "quality pass (log: $work/quality.log)"
  methods_args=()
  if [ -n "$quality_methods" ]; then methods_args=(--methods "$quality_methods"); fi
  MOIRE_CUSTOM_CMD="$coded_cmd" "$py" "$work/kit/run_quality.py" "$work" --factors "$factors" \
    --csv "$work/quality.csv" "${methods_args[@]}" > "$work/quality.log"
  summary_args+=(--quality "$work/quality.csv")
fi
if wants light; then
  stage "quality pass in linear light (log: $work/light.log)"
  "$py" "$work/kit/run_quality.py" "$work" --light --factors "$factors" --csv "$work/light-quality.csv" \
    --methods custom,im-linear,pil-lanczos,vips-reduce,ref-strict > "$work/light.log"
  summary_args+=(--light-quality "$work/light-quality.csv")
  for interpolation in cubic nohalo; do
    stage "GIMP Scale Image, $interpolation, in linear light"
    MOIRE_CUSTOM_CMD="$(printf '%q' "$root/bench/gimp_scale.sh") {in} {out} {w} {h} $interpolation" \
      "$py" "$work/kit/run_quality.py" "$work" --light --factors "$factors" --methods custom \
      --csv "$work/light-gimp-$interpolation.csv" >> "$work/light.log"
    # The kit calls every added tool "custom".
    "$py" -c 'import csv, sys
rows = list(csv.DictReader(open(sys.argv[1])))
for r in rows: r["method"] = sys.argv[2]
w = csv.DictWriter(open(sys.argv[1], "w", newline=""), rows[0].keys()); w.writeheader(); w.writerows(rows)' \
      "$work/light-gimp-$interpolation.csv" "gimp-$interpolation"
    summary_args+=(--light-quality "$work/light-gimp-$interpolation.csv")
  done
fi
if wants tone; then
  stage "tone of dot screens"
  "$py" bench/tone_table.py --decimora "$decimora" --kit "$work/kit" --work "$work/tone" \
    --gimp "$root/bench/gimp_scale.sh" --csv "$work/tone.csv"
  summary_args+=(--tone "$work/tone.csv")
  stage "light against coded"
  "$py" bench/tone_speed.py --decimora "$decimora" --image "$work/images/large_rgb8.tif" --work "$work/tone" \
    --runs "$runs" --csv "$work/tone_speed.csv"
  summary_args+=(--tone-speed "$work/tone_speed.csv")
fi
if wants step; then
  stage "step edge"
  "$py" bench/step_edge.py --decimora "$decimora" --work "$work/step-edge" --factors "$factors" \
    --csv "$work/step_edge.csv"
  summary_args+=(--step "$work/step_edge.csv")
  "$py" bench/step_edge.py --decimora "$decimora" --work "$work/step-edge" --factors "$factors" --tone light \
    --csv "$work/step_edge_light.csv"
  summary_args+=(--step-light "$work/step_edge_light.csv")
fi
if wants sharpness; then
  stage "sharpness"
  "$py" bench/sharpness.py --decimora "$decimora" --work "$work/sharpness" --factors "$sharpness_factors" \
    --csv "$work/sharpness.csv"
  summary_args+=(--sharpness "$work/sharpness.csv")
fi
if wants timing; then
  methods_args=()
  if [ -n "$timing_methods" ]; then methods_args=(--methods "$timing_methods"); fi
  for run in $(seq 1 "$timing_runs"); do
    stage "timing pass $run of $timing_runs"
    load_before=$(cut -d' ' -f1 /proc/loadavg)
    "$py" "$work/kit/run_timing.py" "$work" --factors "$factors" -n "$runs" \
      --csv "$work/timing-run$run.csv" "${methods_args[@]}"
    timing_load="${timing_load:+$timing_load; }run $run: $load_before before, $(cut -d' ' -f1 /proc/loadavg) after"
    summary_args+=(--timing "$work/timing-run$run.csv")
  done
fi
if wants threads; then
  stage "one thread against the default"
  load_before=$(cut -d' ' -f1 /proc/loadavg)
  "$py" bench/threads.py --decimora "$decimora" --image "$work/images/large_rgb8.tif" --work "$work/threads" \
    --csv "$work/threads.csv"
  part_load="${part_load:+$part_load; }threads: $load_before before, $(cut -d' ' -f1 /proc/loadavg) after"
  summary_args+=(--threads "$work/threads.csv")
fi
if wants scale; then
  stage "scale series, --memory $scale_memory (inputs kept in $work/images)"
  rm -rf "$work/scale"
  load_before=$(cut -d' ' -f1 /proc/loadavg)
  "$py" bench/scale.py --decimora "$decimora" --source "$work/images/large_rgb8.tif" --images "$work/images" \
    --work "$work/scale" --memory "$scale_memory" --csv "$work/scale.csv"
  rm -rf "$work/scale"
  part_load="${part_load:+$part_load; }scale: $load_before before, $(cut -d' ' -f1 /proc/loadavg) after"
  summary_args+=(--scale "$work/scale.csv")
fi
if wants quality; then
  # The kit's own report, with decimora as "custom" in every table.
  timing_csv="$work/timing-run1.csv"
  wants timing || timing_csv="$work/no-timing.csv"
  "$py" "$work/kit/report.py" --quality "$work/quality.csv" --timing "$timing_csv" \
    --out "$work/kit/RESULTS.md" > /dev/null
fi

elapsed=$(( $(date +%s) - start ))
summary_args+=(--note "parts run: ${parts# }; factors $factors; $runs timed pairs per method, $timing_runs timing runs")
summary_args+=(--note "whole run took $((elapsed / 60)) min $((elapsed % 60)) s; load average (1, 5, 15 min) at the start $load_start, at the end $(cut -d' ' -f1-3 /proc/loadavg)")
if [ -n "${timing_load:-}" ]; then
  summary_args+=(--note "1-minute load average around the timing passes (2 cores): $timing_load")
fi
if [ -n "${part_load:-}" ]; then
  summary_args+=(--note "1-minute load average around the thread and scale parts (2 cores): $part_load")
fi
stage "summary"
"$py" bench/summary.py "${summary_args[@]}" --keep-notes-from bench/RESULTS.md --out "$work/RESULTS.md"
echo
echo "Figures: $work/RESULTS.md; the kit's full report with decimora as \"custom\": $work/kit/RESULTS.md"
if [ "$full" = 1 ]; then
  cp "$work/RESULTS.md" bench/RESULTS.md
  echo "Saved as bench/RESULTS.md"
fi
