#!/usr/bin/env bash
# The whole test suite on all three builds, from a fresh Debian 12 machine:
#   1. Linux: liborvoapi.so and the GoogleTest suite under AddressSanitizer
#      and UndefinedBehaviorSanitizer (build/linux);
#   2. win32: orvoapi.dll for 32-bit Windows, checked for its exports and
#      imports (build/win32), plus the tests of the build checks;
#   3. win64: the GoogleTest suite for 64-bit Windows, run under wine64
#      (build/win64).
# Installs what is missing with apt-get (as root). Every section runs even if
# an earlier one failed; the exit status is non-zero if anything failed.
#
#   bash scripts/test-all.sh [linux] [win32] [win64]     (default: all three)
# Environment: ORVO_JOBS (build jobs, default nproc), ORVO_TEST_JOBS (ctest
# jobs, default 2), ORVO_NO_INSTALL=1 to skip the package step.
set -u -o pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${ORVO_JOBS:-$(nproc)}"
test_jobs="${ORVO_TEST_JOBS:-2}"
sections=("$@")
[ ${#sections[@]} -gt 0 ] || sections=(linux win32 win64)
for s in "${sections[@]}"; do
  case "$s" in linux|win32|win64) ;; *) echo "usage: test-all.sh [linux] [win32] [win64]" >&2; exit 2 ;; esac
done
wants() { [[ " ${sections[*]} " == *" $1 "* ]]; }

started=$(date +%s)
summary=()          # one line per step
tests_passed=0      # test cases, summed over every runner
tests_failed=0
failed_steps=0

header() { printf '\n======== %s ========\n' "$*"; }
elapsed() { local s=$(($(date +%s) - $1)); printf '%dm%02ds' $((s / 60)) $((s % 60)); }

# step NAME COMMAND...: runs one step, prints and records its result.
step() {
  local name="$1" t0 rc
  shift
  echo "---- $name"
  t0=$(date +%s)
  "$@"
  rc=$?
  if [ $rc -eq 0 ]; then
    summary+=("$(printf '  %-34s ok      %s' "$name" "$(elapsed "$t0")")")
  else
    summary+=("$(printf '  %-34s FAILED  %s (status %d)' "$name" "$(elapsed "$t0")" "$rc")")
    failed_steps=$((failed_steps + 1))
  fi
  return $rc
}
skip() { summary+=("$(printf '  %-34s skipped (%s)' "$1" "$2")"); }

# Adds the counts of a ctest or selftest log to the totals.
count_tests() {
  local log="$1" line total failed
  line="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)"
  if [ -n "$line" ]; then
    failed="$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")"
    total="$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")"
    tests_passed=$((tests_passed + total - failed))
    tests_failed=$((tests_failed + failed))
    return
  fi
  line="$(grep -E '^selftest: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n1)"
  if [ -n "$line" ]; then
    tests_passed=$((tests_passed + $(sed -E 's/selftest: ([0-9]+) passed.*/\1/' <<<"$line")))
    tests_failed=$((tests_failed + $(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")))
  fi
}

# ctest_run NAME BUILD_DIR [ENV...]: ctest with its output kept for counting.
ctest_run() {
  local dir="$1"
  shift
  local log="$dir/ctest.log"
  env "$@" ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$test_jobs" \
    </dev/null 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  count_tests "$log"
  return "$rc"
}

selftest_run() {
  local log
  log="$(mktemp)"
  bash scripts/selftest.sh "$1" </dev/null 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  count_tests "$log"
  rm -f "$log"
  return "$rc"
}

configure() {
  local dir="$1"
  shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" </dev/null
}
build() { cmake --build "$1" -j "$jobs" </dev/null; }

# ---------------------------------------------------------------- packages
header "packages"
step "install packages" bash scripts/install-deps.sh test "${sections[@]}"

# ---------------------------------------------------------------- linux
if wants linux; then
  header "1. Linux: liborvoapi.so + tests, AddressSanitizer/UBSan (build/linux)"
  t=$(date +%s)
  if step "linux: configure" configure build/linux -DCMAKE_BUILD_TYPE=Debug -DORVO_SANITIZE=ON \
       -DORVO_BUILD_TESTS=ON -DORVO_BUILD_TOOLS=ON &&
     step "linux: build" build build/linux; then
    step "linux: ctest" ctest_run build/linux \
      ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}" \
      UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
  else
    skip "linux: ctest" "build failed"
  fi
  echo "linux section took $(elapsed "$t")"
fi

# ---------------------------------------------------------------- win32
if wants win32; then
  header "2. win32: orvoapi.dll, i686-w64-mingw32 (build/win32)"
  t=$(date +%s)
  step "win32: build-check self-tests" selftest_run dll
  if step "win32: configure" configure build/win32 \
       -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" -DCMAKE_BUILD_TYPE=Release \
       -DORVO_BUILD_TESTS=OFF -DORVO_BUILD_TOOLS=OFF &&
     step "win32: build" build build/win32; then
    if step "win32: DLL exports and imports" \
         bash scripts/check_dll.sh --arch i386 build/win32/bin/orvoapi.dll api/exports.list; then
      tests_passed=$((tests_passed + 1))
    else
      tests_failed=$((tests_failed + 1))
    fi
  else
    skip "win32: DLL exports and imports" "build failed"
  fi
  echo "win32 section took $(elapsed "$t")"
fi

# ---------------------------------------------------------------- win64
if wants win64; then
  header "3. win64: tests, x86_64-w64-mingw32 under wine64 (build/win64)"
  t=$(date +%s)
  prefix="$root/build/win64/wineprefix"
  trap 'bash "$root/scripts/wine-run.sh" --prefix "$prefix" --stop >/dev/null 2>&1' EXIT
  step "win64: wine self-tests" selftest_run wine
  if step "win64: configure" configure build/win64 \
       -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" -DCMAKE_BUILD_TYPE=Debug \
       -DORVO_BUILD_TESTS=ON -DORVO_BUILD_TOOLS=ON &&
     step "win64: build" build build/win64; then
    step "win64: DLL exports and imports" \
      bash scripts/check_dll.sh --arch x86-64 build/win64/bin/orvoapi.dll api/exports.list
    step "win64: wine prefix" bash scripts/wine-run.sh --prefix "$prefix" --init
    step "win64: ctest under wine64" ctest_run build/win64
    bash scripts/wine-run.sh --prefix "$prefix" --stop
  else
    skip "win64: ctest under wine64" "build failed"
  fi
  echo "win64 section took $(elapsed "$t")"
fi

# ---------------------------------------------------------------- summary
header "summary"
printf '%s\n' "${summary[@]}"
echo "took $(elapsed "$started") in all; $failed_steps step(s) failed"
echo "test-all: $tests_passed passed, $tests_failed failed"
[ $failed_steps -eq 0 ] && [ $tests_failed -eq 0 ]
