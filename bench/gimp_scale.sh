#!/usr/bin/env bash
# GIMP 2.10's own Image > Scale Image as a peer for the moiré kit: scales IN
# to W x H pixels with the given interpolation in a headless GIMP and saves
# OUT. GIMP scales 8- and 16-bit perceptual images in linear light.
#
#   bench/gimp_scale.sh IN OUT W H cubic|nohalo|linear|lohalo
#
# Each call starts GIMP with a profile folder of its own under
# $GIMP_SCALE_PROFILES (default /tmp/decimora-gimp-scale), made once.
set -euo pipefail
if [ $# -ne 5 ]; then echo "usage: gimp_scale.sh IN OUT W H INTERPOLATION" >&2; exit 2; fi
in=$1 out=$2 width=$3 height=$4
case "$5" in
  cubic) interpolation=INTERPOLATION-CUBIC ;;
  nohalo) interpolation=INTERPOLATION-NOHALO ;;
  lohalo) interpolation=INTERPOLATION-LOHALO ;;
  linear) interpolation=INTERPOLATION-LINEAR ;;
  *) echo "gimp_scale.sh: unknown interpolation $5" >&2; exit 2 ;;
esac
profiles=${GIMP_SCALE_PROFILES:-/tmp/decimora-gimp-scale}
mkdir -p "$profiles"
quote() { printf '"%s"' "${1//\"/\\\"}"; }
GIMP2_DIRECTORY="$profiles" gimp-console-2.10 -i -d -f -b "
  (let* ((image (car (gimp-file-load RUN-NONINTERACTIVE $(quote "$in") $(quote "$in"))))
         (layer (car (gimp-image-get-active-drawable image))))
    (gimp-context-set-interpolation $interpolation)
    (gimp-image-scale image $width $height)
    (gimp-file-save RUN-NONINTERACTIVE image (car (gimp-image-get-active-drawable image)) $(quote "$out") $(quote "$out")))" \
  -b '(gimp-quit 0)' > /dev/null 2>&1
[ -s "$out" ]
