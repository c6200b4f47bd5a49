#!/bin/bash
# Runs the Python package's tests (python/tests) against the library of a
# build directory: scripts/test-python.sh [BUILD_DIR] (default build/linux).
# Debian's python3 is used, where python3-numpy and python3-pytest live; a
# library built with the sanitizers gets their runtimes preloaded.
set -u -o pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/linux}"
lib="$build/bin/liborvoapi.so"
[ -f "$lib" ] || { echo "test-python: $lib is not built" >&2; exit 1; }
python=/usr/bin/python3
[ -x "$python" ] || python=python3
export ORVO_LIBRARY="$lib"
# grep -q stops reading early; under pipefail ldd's broken pipe would then read as "no".
if grep -q libasan <<<"$(ldd "$lib")"; then
  export LD_PRELOAD="$(gcc -print-file-name=libasan.so) $(gcc -print-file-name=libubsan.so)"
  # The interpreter's own allocations are no concern of ours.
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
  export ASAN_OPTIONS="${ASAN_OPTIONS/detect_leaks=1/detect_leaks=0}"
fi
cd "$root/python" && "$python" -m pytest -q -p no:cacheprovider tests
