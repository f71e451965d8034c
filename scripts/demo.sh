#!/usr/bin/env bash
# Sets up, builds in Release and runs Decimora on the bundled sample: a
# landscape printed with a fine dot screen (demo/halftone-landscape.png),
# reduced by 4. Writes the result and a comparison picture (the naive
# nearest-neighbour reduction on the left, Decimora's on the right) to
# out/demo/, and the same with the coded values averaged (--tone coded).
#   DECIMORA_BUILD_DIR  the Release build folder (default build-release)
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

build=${DECIMORA_BUILD_DIR:-build-release}
jobs=$(nproc 2>/dev/null || echo 2)
sample=demo/halftone-landscape.png
factor=4
out=out/demo
reduced="$out/$(basename "$sample" .png)-reduced.png"
coded="$out/$(basename "$sample" .png)-reduced-coded.png"

echo "== build ($build/, Release)"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DDECIMORA_TESTS=OFF > /dev/null
cmake --build "$build" -j "$jobs" --target decimora demo_comparison

echo "== reduce $sample by $factor"
mkdir -p "$out"
"$build/decimora" reduce "$sample" -o "$reduced" --factor "$factor" --force --quiet
"$build/decimora" reduce "$sample" -o "$coded" --factor "$factor" --force --quiet --tone coded
"$build/demo/demo_comparison" "$sample" "$reduced" "$factor" "$out/comparison.png"
"$build/demo/demo_comparison" "$sample" "$coded" "$factor" "$out/comparison-coded.png"

echo
echo "Reduced image:      $(pwd)/$reduced"
echo "Comparison picture: $(pwd)/$out/comparison.png"
echo "  left:  every ${factor}th pixel kept (nearest neighbour), the dot screen turns into moire"
echo "  right: Decimora, the smooth picture without moire"
echo "Tone: by default Decimora averages the light the dots send, as the eye does from"
echo "afar (a 50 % screen becomes grey 188); $out/comparison-coded.png shows --tone coded,"
echo "which averages the stored values (the same screen becomes 128, visibly darker)."
