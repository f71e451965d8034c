#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and checks what a user would
# get: unpacked into a temporary root, its decimora reduces the demo sample
# with the bundles the package brings, found from the program's own place;
# decimora-gimp's bundle link resolves; lintian reports no errors; the man
# page renders and the bash completion completes.
set -euo pipefail
cd "$(dirname "$0")/.."

# Its arguments go to scripts/package.sh: none for a Release build in
# build-package/, or a build folder to package as it is. Its output is shown
# as it goes (through the inherited standard error: tee opening /dev/stderr
# anew would truncate a log file it points at); its last line is the
# package's path.
deb=$(bash scripts/package.sh "$@" | tee >(cat >&2) | tail -n 1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
echo "== check $deb"

fail() { echo "check-package: $*" >&2; exit 1; }

# The sample is 2048x1536: reduced by 4 it is 512x384.
reduced="$root/reduced.png"
env -u DECIMORA_PLUGIN_DIR "$root/usr/bin/decimora" reduce demo/halftone-landscape.png \
  -o "$reduced" --factor 4 --quiet || fail "the unpacked decimora could not reduce the sample"
kind=$(file -b "$reduced")
[[ $kind == "PNG image data, 512 x 384,"* ]] || fail "unexpected output: $kind"

gimp_bundles="$root/usr/lib/gimp/2.0/plug-ins/decimora-gimp/plug-ins"
[ -L "$gimp_bundles" ] || fail "decimora-gimp's plug-ins is not a link"
[ -f "$gimp_bundles/Decimora.plugin/Decimora" ] || fail "decimora-gimp's plug-ins link does not reach the bundles"

lintian --tag-display-limit 0 "$deb" || fail "lintian reported errors"

man_page="$root/usr/share/man/man1/decimora.1.gz"
man -l "$man_page" > "$root/man.txt" || fail "man could not render $man_page"
grep -q -- "--factor" "$root/man.txt" || fail "the man page lacks the options"

# Completing "decimora reduce --to" as bash-completion would.
completed=$(bash -c 'source /usr/share/bash-completion/bash_completion
  source "$1"
  COMP_WORDS=(decimora reduce --to) COMP_CWORD=2 COMP_LINE="decimora reduce --to" COMP_POINT=20
  _decimora && echo "${COMPREPLY[*]}"' _ "$root/usr/share/bash-completion/completions/decimora")
[ "$completed" = "--tone" ] || fail "the bash completion offers '$completed' for 'decimora reduce --to'"
echo "package: checked"
