#!/usr/bin/env bash
# Builds the libFuzzer harnesses (build/fuzz, clang, ASan + UBSan) and runs
# each one, single-process, for a time.
#
#   scripts/fuzz.sh [SECONDS] [HARNESS...]   fuzz each harness SECONDS
#                                            (default 60), growing its
#                                            working corpus build/fuzz/corpus/
#   scripts/fuzz.sh --ci [SECONDS]           CI: each harness over its seed
#                                            corpus (fuzz/corpus/), then a
#                                            burst of SECONDS (default 8)
#   scripts/fuzz.sh --seeds                  rewrites fuzz/corpus/ with the
#                                            library's own writers
# A crash, leak, hang (10 s), out-of-memory (2 GB) or broken promise of a
# harness leaves its input in build/fuzz/artifacts/ and makes the exit status
# non-zero. One line a harness: executions, executions a second, edges, result.
# Environment: ORVO_JOBS (build jobs, default 2).
set -u -o pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
build="$root/build/fuzz"
ci=0
seeds=0
case "${1:-}" in
  --ci) ci=1; shift ;;
  --seeds) seeds=1; shift ;;
esac
seconds="${1:-}"
[ $# -gt 0 ] && shift
if [ -z "$seconds" ]; then seconds=$([ $ci -eq 1 ] && echo 8 || echo 60); fi
case "$seconds" in
  ''|*[!0-9]*) echo "usage: fuzz.sh [--ci] [SECONDS] [HARNESS...] | --seeds" >&2; exit 2 ;;
esac

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is missing (install-deps.sh test fuzz)" >&2; exit 1; }
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVO_BUILD_FUZZ=ON -DORVO_BUILD_TESTS=OFF -DORVO_BUILD_TOOLS=OFF >/dev/null </dev/null &&
  cmake --build "$build" -j "${ORVO_JOBS:-2}" </dev/null ||
  { echo "fuzz.sh: the harnesses did not build" >&2; exit 1; }

if [ $seeds -eq 1 ]; then
  rm -rf "$root/fuzz/corpus"
  "$build/bin/orvo_fuzz_seeds" "$root/fuzz/corpus" || exit 1
  du -sh "$root/fuzz/corpus"/* 
  exit 0
fi

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for f in "$build"/bin/*_fuzzer; do harnesses+=("$(basename "$f" _fuzzer)"); done
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
mkdir -p "$build/artifacts"
failed=0
total=0
for name in "${harnesses[@]}"; do
  bin="$build/bin/${name}_fuzzer"
  seed_dir="$root/fuzz/corpus/$name"
  dict="$root/fuzz/dict/$name.dict"
  [ -x "$bin" ] || { echo "fuzz.sh: no harness '$name'" >&2; failed=1; continue; }
  opts=(-rss_limit_mb=2048 -timeout=10 -print_final_stats=1
        "-artifact_prefix=$build/artifacts/$name-")
  [ -f "$dict" ] && opts+=("-dict=$dict")
  log="$build/$name.log"
  : >"$log"
  rc=0
  if [ $ci -eq 1 ]; then
    # Every seed once, then a burst from them. libFuzzer adds new inputs to the
    # first folder given: a fresh one, so that the tree's seeds stay as made.
    work="$build/ci-corpus/$name"
    rm -rf "$work" && mkdir -p "$work"
    "$bin" "${opts[@]}" -runs=0 "$seed_dir" >>"$log" 2>&1 </dev/null || rc=$?
    [ $rc -eq 0 ] && { "$bin" "${opts[@]}" -max_total_time="$seconds" "$work" "$seed_dir" \
                         >>"$log" 2>&1 </dev/null || rc=$?; }
  else
    work="$build/corpus/$name"
    mkdir -p "$work"
    "$bin" "${opts[@]}" -max_total_time="$seconds" "$work" "$seed_dir" >>"$log" 2>&1 </dev/null ||
      rc=$?
  fi
  execs="$(grep -E '^stat::number_of_executed_units:' "$log" | tail -n1 | awk '{print $2}')"
  speed="$(grep -E '^stat::average_exec_per_sec:' "$log" | tail -n1 | awk '{print $2}')"
  edges="$(grep -oE 'cov: [0-9]+' "$log" | tail -n1 | awk '{print $2}')"
  total=$((total + ${execs:-0}))
  if [ $rc -eq 0 ]; then result=ok; else result="FINDING (status $rc, see $log)"; failed=1; fi
  printf '  %-18s %10s execs %7s/s %6s edges  %s\n' "$name" "${execs:-?}" "${speed:-?}" \
    "${edges:-?}" "$result"
done
echo "fuzz.sh: $total executions in all"
exit $failed
