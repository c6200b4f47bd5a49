#!/bin/bash
# Runs the README's tour: every ```sh and ```python block after the set-up
# block, in order, in one empty folder, with the orvo and the library of
# BUILD_DIR and the package in python/. Fails at the first block that fails.
#   run_tour.sh BUILD_DIR
set -u -o pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python=/usr/bin/python3
[ -x "$python" ] || python=python3
export ORVO_LIBRARY="$build/bin/liborvoapi.so"
preload=""
# grep -q stops reading early; under pipefail ldd's broken pipe would then read as "no".
if grep -q libasan <<<"$(ldd "$ORVO_LIBRARY")"; then
  preload="$(gcc -print-file-name=libasan.so) $(gcc -print-file-name=libubsan.so)"
fi
# The set-up block's work: this build's tools and the package in the tree.
export PATH="$build/bin:$PATH" PYTHONPATH="$root/python"

mkdir "$work/blocks" "$work/run"
awk -v dir="$work/blocks" '
  /^```(sh|python)$/ { n++; file = sprintf("%s/block%02d.%s", dir, n, substr($0, 4)); next }
  /^```$/ { file = ""; next }
  file != "" { print > file }
' "$root/README.md"

cd "$work/run"
blocks=0
started=0
for block in "$work"/blocks/block*; do
  name="$(basename "$block")"
  if [ $started -eq 0 ]; then
    grep -q 'build/demo/bin' "$block" && started=1
    continue  # the build commands and the set-up block
  fi
  case "$block" in
    *.sh) out="$(bash -e "$block" 2>&1)" ;;
    *.python) out="$(LD_PRELOAD="$preload" ASAN_OPTIONS=detect_leaks=0 "$python" "$block" 2>&1)" ;;
  esac
  rc=$?
  printf '%s\n' "---- $name" "$out"
  if [ $rc -ne 0 ]; then
    echo "run_tour: $name failed with status $rc" >&2
    exit 1
  fi
  blocks=$((blocks + 1))
done
[ $blocks -gt 0 ] || { echo "run_tour: no tour blocks found in README.md" >&2; exit 1; }
echo "run_tour: $blocks blocks ran"
