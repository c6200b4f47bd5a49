#!/usr/bin/env bash
# Builds liborvoapi.so and the orvo demo host (Release, no sanitizers) in
# build/demo and runs `orvo demo`, which loads the library as a host program
# would and walks through its services. Installs missing packages (as root).
#
#   bash scripts/demo.sh [orvo demo options, e.g. --dir WORK_DIR]
set -u -o pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${ORVO_JOBS:-$(nproc)}"

echo "==== packages"
bash scripts/install-deps.sh demo || exit 1

echo "==== build (build/demo)"
cmake -S . -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVO_SANITIZE=OFF \
  -DORVO_BUILD_TESTS=OFF -DORVO_BUILD_BENCH=OFF -DORVO_BUILD_TOOLS=ON </dev/null || exit 1
cmake --build build/demo -j "$jobs" --target orvo orvoapi </dev/null || exit 1

echo "==== orvo demo"
exec build/demo/bin/orvo demo --library "$root/build/demo/bin/liborvoapi.so" "$@" </dev/null
