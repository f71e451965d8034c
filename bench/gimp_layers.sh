#!/usr/bin/env bash
# What layers cost in decimora-gimp: a 6000 x 4000 image with a background
# and 50 layers of 200 x 200 against the same image flattened (one layer),
# both reduced by 4 in one headless GIMP. Each layer is reduced over its own
# piece of the canvas, so the layered image should take at most about twice
# the flattened one.
#
#   bench/gimp_layers.sh [BUILD_DIR]     (default: build)
#
# Prints both times (decimora-gimp's own "whole" phase) and their ratio.
# GIMP's profile is made once under $GIMP_LAYERS_PROFILE (default
# /tmp/decimora-gimp-layers), with BUILD_DIR/gimp-plug-ins on its plug-in path.
set -euo pipefail
build=${1:-build}
plugins=$(cd "$build/gimp-plug-ins" && pwd)
profile=${GIMP_LAYERS_PROFILE:-/tmp/decimora-gimp-layers}
if [ ! -f "$profile/pluginrc" ]; then
  rm -rf "$profile" && mkdir -p "$profile"
  GIMP2_DIRECTORY="$profile" gimp-console-2.10 -i -d -f -b '(gimp-quit 0)' > /dev/null 2>&1
  printf '(plug-in-path "${gimp_dir}/plug-ins:${gimp_plug_in_dir}/plug-ins:%s")\n' "$plugins" >> "$profile/gimprc"
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
env -u DECIMORA_PLUGIN_DIR DECIMORA_GIMP_TIMES=1 GIMP2_DIRECTORY="$profile" gimp-console-2.10 -i -d -f -b '
  (define (add-layer image width height x y)
    (let ((layer (car (gimp-layer-new image width height RGBA-IMAGE "layer" 100 LAYER-MODE-NORMAL))))
      (gimp-image-insert-layer image layer 0 0)
      (gimp-drawable-fill layer FILL-WHITE)
      (gimp-layer-set-offsets layer x y)))
  (define (new-image small-layers)
    (let ((image (car (gimp-image-new 6000 4000 RGB))))
      (add-layer image 6000 4000 0 0)
      (let loop ((i 0))
        (if (< i small-layers)
            (begin
              (add-layer image 200 200 (+ 150 (* 570 (modulo i 10))) (+ 150 (* 760 (quotient i 10))))
              (loop (+ i 1)))))
      image))
  (define (reduce image)
    (plug-in-decimora-reduce RUN-NONINTERACTIVE image (car (gimp-image-get-active-drawable image)) 4))
  (reduce (new-image 0))
  (reduce (new-image 50))' -b '(gimp-quit 0)' > "$log" 2>&1
awk '/decimora-gimp: whole/ { t[n++] = $3 }
     END {
       if (n != 2) { print "gimp_layers.sh: the runs did not both finish" > "/dev/stderr"; exit 1 }
       printf "flattened %.2f s, 50 layers %.2f s, ratio %.2f\n", t[0], t[1], t[1] / t[0]
     }' "$log"
