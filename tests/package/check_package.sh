#!/bin/bash
# Installs the build tree into a fresh prefix, then builds the C host against
# it twice (CMake package, pkg-config) and runs both.
#   check_package.sh BUILD_DIR C_COMPILER [EXTRA_C_FLAGS]
set -eu -o pipefail
build="$1" cc="$2" flags="${3:-}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
want="record 7 kind 2 vertices 2 class ROAD lanes 2"

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in include/orvoapi.h lib/cmake/orvoapi/orvoapiConfig.cmake lib/pkgconfig/orvoapi.pc; do
  [ -f "$prefix/$f" ] || { echo "check_package: $f is not installed" >&2; exit 1; }
done

cmake -S "$here" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
mkdir "$work/run1"
got="$("$work/cmake-build/host" "$work/run1")"
[ "$got" = "$want" ] || { echo "check_package: find_package host printed '$got'" >&2; exit 1; }
echo "find_package(orvoapi): $got"

export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
# shellcheck disable=SC2046,SC2086
"$cc" $flags -o "$work/host-pc" "$here/host.c" $(pkg-config --cflags --libs orvoapi) \
  -Wl,-rpath,"$(pkg-config --variable=libdir orvoapi)"
mkdir "$work/run2"
got="$("$work/host-pc" "$work/run2")"
[ "$got" = "$want" ] || { echo "check_package: pkg-config host printed '$got'" >&2; exit 1; }
echo "pkg-config orvoapi: $got"
