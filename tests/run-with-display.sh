#!/usr/bin/env bash
# Runs a GUI test program on a virtual 1920x1080 display, so that windows and
# alerts have a screen of known size whether or not a display is present.
set -euo pipefail
if command -v xvfb-run >/dev/null 2>&1; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$@"
fi
echo "run-with-display: xvfb-run is missing (scripts/setup.sh installs it)" >&2
exit 1
