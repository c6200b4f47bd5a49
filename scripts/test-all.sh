#!/usr/bin/env bash
# The whole test suite on every build, from a fresh Debian 12 machine:
#   linux: every C and C++ file checked against .clang-format, then
#          liborvoapi.so and the GoogleTest suite under AddressSanitizer and
#          UndefinedBehaviorSanitizer (build/linux);
#   tsan:  the platform tests under ThreadSanitizer (build/tsan);
#   win32: orvoapi.dll for 32-bit Windows, the product, checked for its
#          exports and imports, and the suite and the demo host built with it,
#          run under wine32 (build/win32), plus the tests of the build checks;
#   win64: the suite for 64-bit Windows, run under wine64 (build/win64);
#   fuzz:  the libFuzzer harnesses (clang) over their seed corpora, then a
#          short burst each (scripts/fuzz.sh --ci, build/fuzz).
# Installs what is missing with apt-get (as root). Every section runs even if
# an earlier one failed; the exit status is non-zero if anything failed.
#
# wine is started before ctest and kept running (scripts/wine-run.sh). A test
# that failed only because wine could not be started for it (wine-run.sh's
# "wine start failed" line; the program never ran) is run once more, and the
# test program is started again in place when it died in wine's start before
# reaching main (wine-run.sh --start-mark); both kinds of retry are counted in
# the summary. Any other failure stands.
#
#   bash scripts/test-all.sh [linux] [tsan] [win32] [win64] [fuzz]   (default: all)
# Environment: ORVO_JOBS (build jobs, default nproc), ORVO_TEST_JOBS (ctest
# jobs, default 2), ORVO_NO_INSTALL=1 to skip the package step,
# ORVO_REQUIRE_WINE32=1 to fail rather than skip the wine32 runs on a machine
# whose kernel does not execute 32-bit programs.
set -u -o pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${ORVO_JOBS:-$(nproc)}"
test_jobs="${ORVO_TEST_JOBS:-2}"
sections=("$@")
[ ${#sections[@]} -gt 0 ] || sections=(linux tsan win32 win64 fuzz)
for s in "${sections[@]}"; do
  case "$s" in
    linux|tsan|win32|win64|fuzz) ;;
    *) echo "usage: test-all.sh [linux] [tsan] [win32] [win64] [fuzz]" >&2; exit 2 ;;
  esac
done
wants() { [[ " ${sections[*]} " == *" $1 "* ]]; }

started=$(date +%s)
summary=()          # one line per step
tests_passed=0      # test cases, summed over every runner
tests_failed=0
failed_steps=0
wine_retries=0      # tests run again because wine did not start for them
failed_tests=()     # "section: test name" for each failed ctest test

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
  line="$(grep -E '^([0-9]+ failed, )?[0-9]+ passed.* in [0-9.]+s' "$log" | tail -n1)"
  if [ -n "$line" ]; then  # pytest
    tests_passed=$((tests_passed + $(sed -E 's/^([0-9]+ failed, )?([0-9]+) passed.*/\2/' <<<"$line")))
    if [[ "$line" =~ ^([0-9]+)\ failed ]]; then tests_failed=$((tests_failed + BASH_REMATCH[1])); fi
    return
  fi
  line="$(grep -E '^selftest: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n1)"
  if [ -n "$line" ]; then
    tests_passed=$((tests_passed + $(sed -E 's/selftest: ([0-9]+) passed.*/\1/' <<<"$line")))
    tests_failed=$((tests_failed + $(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")))
  fi
}

# ctest_run BUILD_DIR [ENV...] [-- CTEST_ARGS...]: ctest with its output kept
# for counting.
ctest_run() {
  local dir="$1"
  shift
  local envs=() args=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do envs+=("$1"); shift; done
  [ $# -gt 0 ] && shift && args=("$@")
  local log="$dir/ctest.log"
  env "${envs[@]}" ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$test_jobs" \
    "${args[@]}" </dev/null 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  count_tests "$log"
  note_failed_tests "$dir" "$log"
  return "$rc"
}

# Keeps the names of the tests a ctest log lists as failed, with the last
# lines of their output, so that the summary at the end of a long log (all a
# CI page may show) still says what failed and why.
note_failed_tests() {
  local dir="$1" log="$2" name
  while IFS= read -r name; do
    [ -n "$name" ] || continue
    failed_tests+=("$(basename "$dir"): $name")
    # From the first GoogleTest failure when there is one, else the last lines.
    local tail_lines
    readarray -t tail_lines < <(awk -v want="$name" '
        /^[0-9]+\/[0-9]+ Test: / { cur = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", cur); keep = (cur == want); if (keep) { n = 0; first = 0 } next }
        keep && /^Test (Failed|Passed)\./ { keep = 0 }
        keep && !/^(<end of output>|Test time = |-----+$|Output:)/ { line[++n] = $0; if (!first && /: Failure$/) first = n }
        END { s = first ? first : (n > 12 ? n - 11 : 1); for (i = s; i <= n && i < s + 12; i++) print "  | " line[i] }
      ' "$dir/Testing/Temporary/LastTest.log" 2>/dev/null)
    failed_tests+=("${tail_lines[@]}")
  done < <(sed -n '/^The following tests FAILED:/,$p' "$log" |
           sed -nE 's/^[[:space:]]+[0-9]+ - (.*) \((Failed|Not Run|Timeout|SEGFAULT|Subprocess aborted|Exception|[A-Za-z ]+)\).*$/\1/p')
}

# The tests of the last ctest run in DIR that failed because wine could not
# be started for them, one name a line.
wine_start_failures() {
  awk '
    /^[0-9]+\/[0-9]+ Test: / { name = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", name); start = 0 }
    /^wine-run\.sh: wine start failed:/ { start = 1 }
    /^Test Failed\./ { if (start) print name }
  ' "$1/Testing/Temporary/LastTest.log" 2>/dev/null
}

# Adds to the retries the programs that wine-run.sh started again in the
# last ctest run in DIR because they died in wine's start, before main.
count_restarts() {
  local n
  n="$(grep -c '^wine-run\.sh: wine did not start the program' \
         "$1/Testing/Temporary/LastTest.log" 2>/dev/null)"
  wine_retries=$((wine_retries + ${n:-0}))
}

# wine_ctest_run BUILD_DIR: ctest under wine; the tests wine did not start
# for are run once more, and only those.
wine_ctest_run() {
  local dir="$1" rc failed_before again=() pattern="" name
  ctest_run "$dir"
  rc=$?
  count_restarts "$dir"
  [ $rc -eq 0 ] && return 0
  mapfile -t again < <(wine_start_failures "$dir")
  [ ${#again[@]} -gt 0 ] || return $rc
  failed_before="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed' "$dir/ctest.log" | tail -n1 |
                   sed -E 's/.* ([0-9]+) tests? failed.*/\1/')"
  for name in "${again[@]}"; do
    pattern+="${pattern:+|}$(sed 's/[][\\.*^$+?(){}|]/\\&/g' <<<"$name")"
  done
  echo "---- wine did not start for ${#again[@]} test(s); running them once more: ${again[*]}"
  wine_retries=$((wine_retries + ${#again[@]}))
  # The first run counted them as failed; the second run counts them again.
  tests_failed=$((tests_failed - ${#again[@]}))
  ctest_run "$dir" -- -R "^($pattern)\$"
  local rc2=$?
  count_restarts "$dir"
  [ "${failed_before:-0}" -gt ${#again[@]} ] && return $rc
  return $rc2
}

pytest_run() {
  local log
  log="$(mktemp)"
  bash scripts/test-python.sh "$root/$1" </dev/null 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  count_tests "$log"
  rm -f "$log"
  return "$rc"
}

selftest_run() {
  local log
  log="$(mktemp)"
  bash scripts/selftest.sh "$@" </dev/null 2>&1 | tee "$log"
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

# Whatever happens, the wine servers started here do not outlive the run.
stop_wine() {
  bash "$root/scripts/wine-run.sh" --arch win32 --prefix "$root/build/win32/wineprefix" --stop
  bash "$root/scripts/wine-run.sh" --arch win64 --prefix "$root/build/win64/wineprefix" --stop
} >/dev/null 2>&1
trap stop_wine EXIT

# ---------------------------------------------------------------- packages
header "packages"
step "install packages" bash scripts/install-deps.sh test "${sections[@]}"

# ---------------------------------------------------------------- linux
if wants linux; then
  header "linux: liborvoapi.so + tests, AddressSanitizer/UBSan (build/linux)"
  t=$(date +%s)
  step "linux: format (clang-format, .clang-format)" bash scripts/check-format.sh
  if step "linux: configure" configure build/linux -DCMAKE_BUILD_TYPE=Debug -DORVO_SANITIZE=ON \
       -DORVO_BUILD_TESTS=ON -DORVO_BUILD_TOOLS=ON &&
     step "linux: build" build build/linux; then
    step "linux: ctest" ctest_run build/linux \
      ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}" \
      UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
    step "linux: pytest (python/tests)" pytest_run build/linux
  else
    skip "linux: ctest" "build failed"
    skip "linux: pytest (python/tests)" "build failed"
  fi
  echo "linux section took $(elapsed "$t")"
fi

# ---------------------------------------------------------------- tsan
if wants tsan; then
  header "tsan: platform tests under ThreadSanitizer (build/tsan)"
  t=$(date +%s)
  # Only the test program: the platform layer is where threads meet.
  if step "tsan: configure" configure build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVO_TSAN=ON \
       -DORVO_BUILD_TESTS=ON -DORVO_BUILD_TOOLS=OFF &&
     step "tsan: build" cmake --build build/tsan -j "$jobs" --target orvo_tests; then
    step "tsan: ctest -R Platform" ctest_run build/tsan \
      TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}" -- -R '^Platform'
  else
    skip "tsan: ctest -R Platform" "build failed"
  fi
  echo "tsan section took $(elapsed "$t")"
fi

# ---------------------------------------------------------------- win32
if wants win32; then
  header "win32: orvoapi.dll + tests, i686-w64-mingw32, under wine32 (build/win32)"
  t=$(date +%s)
  prefix32="$root/build/win32/wineprefix"
  step "win32: build-check self-tests" selftest_run dll
  # A kernel built without 32-bit support cannot run wine32 at all (seen on
  # some CI machines): the 32-bit runs are then skipped with that reason in the
  # summary, not failed, unless ORVO_REQUIRE_WINE32=1. A missing wine32 or any
  # failure of a run that started still fails.
  wine32_runs=1
  bash scripts/wine-run.sh --arch win32 --probe
  if [ $? -eq 126 ] && [ "${ORVO_REQUIRE_WINE32:-0}" != 1 ]; then
    wine32_runs=0
    no_wine32="this machine's kernel does not execute 32-bit programs"
  fi
  if [ $wine32_runs -eq 1 ]; then
    step "win32: wine32 self-tests" selftest_run wine32
  else
    skip "win32: wine32 self-tests" "$no_wine32"
  fi
  if step "win32: configure" configure build/win32 \
       -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" -DCMAKE_BUILD_TYPE=Release \
       -DORVO_BUILD_TESTS=ON -DORVO_BUILD_TOOLS=ON &&
     step "win32: build" build build/win32; then
    if step "win32: DLL exports and imports" \
         bash scripts/check_dll.sh --arch i386 build/win32/bin/orvoapi.dll api/exports.list; then
      tests_passed=$((tests_passed + 1))
    else
      tests_failed=$((tests_failed + 1))
    fi
    if [ $wine32_runs -eq 0 ]; then
      skip "win32: ctest under wine32 (i686 suite, demo)" "$no_wine32"
    elif step "win32: wine32 prefix and server" \
         bash scripts/wine-run.sh --arch win32 --prefix "$prefix32" --init; then
      step "win32: ctest under wine32 (i686 suite, demo)" wine_ctest_run build/win32
    else
      skip "win32: ctest under wine32 (i686 suite, demo)" "wine32 did not start"
    fi
    [ $wine32_runs -eq 0 ] || bash scripts/wine-run.sh --arch win32 --prefix "$prefix32" --stop
  else
    skip "win32: DLL exports and imports" "build failed"
    skip "win32: ctest under wine32 (i686 suite, demo)" "build failed"
  fi
  echo "win32 section took $(elapsed "$t")"
fi

# ---------------------------------------------------------------- win64
if wants win64; then
  header "win64: tests, x86_64-w64-mingw32, under wine64 (build/win64)"
  t=$(date +%s)
  prefix64="$root/build/win64/wineprefix"
  step "win64: wine64 self-tests" selftest_run wine
  if step "win64: configure" configure build/win64 \
       -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" -DCMAKE_BUILD_TYPE=Debug \
       -DORVO_BUILD_TESTS=ON -DORVO_BUILD_TOOLS=ON &&
     step "win64: build" build build/win64; then
    step "win64: DLL exports and imports" \
      bash scripts/check_dll.sh --arch x86-64 build/win64/bin/orvoapi.dll api/exports.list
    if step "win64: wine64 prefix and server" \
         bash scripts/wine-run.sh --arch win64 --prefix "$prefix64" --init; then
      step "win64: ctest under wine64" wine_ctest_run build/win64
    else
      skip "win64: ctest under wine64" "wine64 did not start"
    fi
    bash scripts/wine-run.sh --arch win64 --prefix "$prefix64" --stop
  else
    skip "win64: ctest under wine64" "build failed"
  fi
  echo "win64 section took $(elapsed "$t")"
fi

# ---------------------------------------------------------------- fuzz
if wants fuzz; then
  header "fuzz: libFuzzer harnesses over their seeds plus a burst each (build/fuzz)"
  t=$(date +%s)
  # 15 harnesses x 8 s stay under 3 minutes with the seed runs.
  if step "fuzz: build and run (--ci ${ORVO_FUZZ_SECONDS:-8})" \
       env ORVO_JOBS="$jobs" bash scripts/fuzz.sh --ci "${ORVO_FUZZ_SECONDS:-8}"; then
    tests_passed=$((tests_passed + 1))
  else
    tests_failed=$((tests_failed + 1))
  fi
  echo "fuzz section took $(elapsed "$t")"
fi

# ---------------------------------------------------------------- summary
header "summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed_tests[@]} -gt 0 ]; then
  echo "failed tests (the end of each one's output):"
  printf '  %s\n' "${failed_tests[@]}"
fi
[ "${wine32_runs:-1}" -eq 1 ] ||
  echo "NOT RUN: the 32-bit suite under wine32 ($no_wine32; ORVO_REQUIRE_WINE32=1 fails instead)"
echo "wine start retries: $wine_retries (programs run again because wine did not start them)"
echo "took $(elapsed "$started") in all; $failed_steps step(s) failed"
echo "test-all: $tests_passed passed, $tests_failed failed"
[ $failed_steps -eq 0 ] && [ $tests_failed -eq 0 ]
