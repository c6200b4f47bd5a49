#!/usr/bin/env bash
# Tests of the build checks themselves: check_dll.sh must pass a good DLL and
# fail each kind of bad one; wine-run.sh must hand back a program's exit
# status and output (without carriage returns), never wait for input, and
# tell its own start failures apart from the program's.
#
#   selftest.sh [dll|wine|wine32|all]   (default: all; wine needs wine64,
#                                        wine32 the 32-bit wine)
# Prints one line per case and 'N passed, N failed'; exits 1 on any failure.
set -u -o pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
what="${1:-all}"
work="$(mktemp -d "${TMPDIR:-/tmp}/orvo-selftest.XXXXXX")"
trap '"$here/wine-run.sh" --arch win64 --prefix "$work/win64" --stop >/dev/null 2>&1
      "$here/wine-run.sh" --arch win32 --prefix "$work/win32" --stop >/dev/null 2>&1
      rm -rf "$work"' EXIT

passed=0
failed=0
pass() { echo "  ok    $1"; passed=$((passed + 1)); }
fail() { echo "  FAIL  $1"; [ -n "${2:-}" ] && sed 's/^/        /' <<<"$2"; failed=$((failed + 1)); }

# expect_check NAME WANT_STATUS WANT_TEXT ARGS... : runs check_dll.sh ARGS.
expect_check() {
  local name="$1" want="$2" text="$3"
  shift 3
  local out rc
  out="$("$here/check_dll.sh" "$@" 2>&1)"
  rc=$?
  if [ "$rc" -ne "$want" ]; then
    fail "$name (status $rc, want $want)" "$out"
  elif [ -n "$text" ] && ! grep -qF -- "$text" <<<"$out"; then
    fail "$name (no '$text' in output)" "$out"
  else
    pass "$name"
  fi
}

# build_dll OUT TRIPLE DEF [EXTRA_FLAGS...]: a DLL of three C functions.
build_dll() {
  local out="$1" triple="$2" def="$3"
  shift 3
  printf 'LIBRARY %s\nEXPORTS\n%b' "$(basename "$out")" "$def" >"$work/$(basename "$out").def"
  "$triple-gcc-posix" -shared -O1 -o "$out" "$work/funcs.c" "$work/$(basename "$out").def" "$@" \
    >"$work/build.log" 2>&1 || { cat "$work/build.log"; return 1; }
}

dll_cases() {
  echo "check_dll.sh:"
  cat >"$work/funcs.c" <<'EOF'
int Alpha(int x) { return x + 1; }
int Beta(int x) { return x * 2; }
int Gamma(int x) { return x - 3; }
EOF
  printf '# exports\nAlpha\n\n  Beta   # second\n' >"$work/list"
  local good='  Alpha\n  _Alpha = Alpha\n  Beta\n  _Beta = Beta\n'
  build_dll "$work/good.dll" i686-w64-mingw32 "$good" || { fail "build good.dll"; return; }
  expect_check "good PE32 DLL passes" 0 "2 exports under both names" "$work/good.dll" "$work/list"

  build_dll "$work/nounder.dll" i686-w64-mingw32 '  Alpha\n  _Alpha = Alpha\n  Beta\n'
  expect_check "missing underscore name fails" 1 "missing export '_Beta'" "$work/nounder.dll" "$work/list"

  build_dll "$work/noplain.dll" i686-w64-mingw32 '  Alpha\n  _Alpha = Alpha\n  _Beta = Beta\n'
  expect_check "missing plain name fails" 1 "missing export 'Beta'" "$work/noplain.dll" "$work/list"

  build_dll "$work/extra.dll" i686-w64-mingw32 "$good  Gamma\n"
  expect_check "extra export fails" 1 "unexpected export 'Gamma'" "$work/extra.dll" "$work/list"

  build_dll "$work/extraunder.dll" i686-w64-mingw32 "$good  _Gamma = Gamma\n"
  expect_check "extra underscore export fails" 1 "unexpected export '_Gamma'" "$work/extraunder.dll" "$work/list"

  build_dll "$work/wrong.dll" i686-w64-mingw32 '  Alpha\n  _Alpha = Gamma\n  Beta\n  _Beta = Beta\n'
  expect_check "alias of another function fails" 1 "are not the same function" "$work/wrong.dll" "$work/list"

  build_dll "$work/noname.dll" i686-w64-mingw32 "$good  Gamma @20 NONAME\n"
  expect_check "ordinal-only export fails" 1 "has no name" "$work/noname.dll" "$work/list"

  build_dll "$work/stdcall.dll" i686-w64-mingw32 "$good" -Wl,--kill-at
  expect_check "plain C DLL linked with --kill-at still passes" 0 "" "$work/stdcall.dll" "$work/list"

  # A C++ DLL linked against the shared runtime imports libstdc++ and libgcc.
  cat >"$work/cxx.cc" <<'EOF'
#include <string>
extern "C" int Alpha(int x) { return static_cast<int>(std::to_string(x).size()); }
extern "C" int Beta(int x) { if (x < 0) throw x; return x; }
EOF
  printf 'LIBRARY dyn.dll\nEXPORTS\n%b' "$good" >"$work/dyn.def"
  if i686-w64-mingw32-g++-posix -shared -o "$work/dyn.dll" "$work/cxx.cc" "$work/dyn.def" \
       >"$work/build.log" 2>&1; then
    expect_check "DLL importing libstdc++ fails" 1 "imports the compiler runtime DLL 'libstdc++-6.dll'" \
      "$work/dyn.dll" "$work/list"
    i686-w64-mingw32-g++-posix -shared -static -o "$work/static.dll" "$work/cxx.cc" "$work/dyn.def" \
      >"$work/build.log" 2>&1
    expect_check "same DLL with static runtime passes" 0 "" "$work/static.dll" "$work/list"
  else
    fail "build dyn.dll" "$(cat "$work/build.log")"
  fi

  cat >"$work/zuse.c" <<'EOF'
extern int compress(void);
int Alpha(int x) { return x ? compress() : 0; }
int Beta(int x) { return x; }
EOF
  # A DLL importing a non-system DLL (a stand-in built here).
  printf 'int compress(void) { return 7; }\n' >"$work/dep.c"
  i686-w64-mingw32-gcc-posix -shared -o "$work/depend.dll" "$work/dep.c" -Wl,--out-implib,"$work/libdepend.dll.a" \
    >"$work/build.log" 2>&1
  printf 'LIBRARY usesdep.dll\nEXPORTS\n%b' "$good" >"$work/usesdep.def"
  if i686-w64-mingw32-gcc-posix -shared -o "$work/usesdep.dll" "$work/zuse.c" "$work/usesdep.def" \
       -L"$work" -ldepend >"$work/build.log" 2>&1; then
    expect_check "DLL importing a non-system DLL fails" 1 "imports 'depend.dll', which is not a system DLL" \
      "$work/usesdep.dll" "$work/list"
  else
    fail "build usesdep.dll" "$(cat "$work/build.log")"
  fi

  build_dll "$work/good64.dll" x86_64-w64-mingw32 "$good"
  expect_check "PE32+ DLL fails as i386" 1 "is not a PE32 i386 file" "$work/good64.dll" "$work/list"
  expect_check "PE32+ DLL passes as x86-64" 0 "PE32+ x86-64" --arch x86-64 "$work/good64.dll" "$work/list"

  i686-w64-mingw32-gcc-posix -o "$work/prog.exe" -x c - <<<'int main(void) { return 0; }' >/dev/null 2>&1
  expect_check "an EXE is not a DLL" 1 "not marked as a DLL" "$work/prog.exe" "$work/list"

  : >"$work/empty.list"
  expect_check "empty export list fails" 1 "names no export" "$work/good.dll" "$work/empty.list"
  expect_check "missing file is a usage error" 2 "no such file" "$work/absent.dll" "$work/list"
}

# wine_cases ARCH TRIPLE: wine-run.sh with a program of the TRIPLE compiler.
wine_cases() {
  local arch="$1" triple="$2" px="$work/$1"
  local run=("$here/wine-run.sh" --arch "$arch" --prefix "$px")
  echo "wine-run.sh --arch $arch:"
  cat >"$work/echo.c" <<'EOF'
#include <stdio.h>
#include <stdlib.h>
int main(int argc, char** argv) {
  int c = getchar();                     /* stdin must be at end, not wait */
  printf("line one\nline two\n");
  fprintf(stderr, "to stderr\n");
  printf("args=%d last=%s stdin=%s env=%s bits=%d\n", argc, argv[argc - 1],
         c == EOF ? "eof" : "data", getenv("ORVO_SELFTEST") ? getenv("ORVO_SELFTEST") : "-",
         (int)(sizeof(void*) * 8));
  return argc > 1 ? atoi(argv[1]) : 0;
}
EOF
  local exe="$work/echo-$arch.exe" bits=64
  [ "$arch" = win32 ] && bits=32
  if ! "$triple-gcc-posix" -o "$exe" "$work/echo.c" >"$work/build.log" 2>&1; then
    fail "build $(basename "$exe")" "$(cat "$work/build.log")"
    return
  fi
  local out err rc
  out="$(ORVO_SELFTEST=hello timeout 300 "${run[@]}" -- "$exe" 3 "two words" 2>"$work/err")"
  rc=$?
  err="$(cat "$work/err")"
  [ $rc -eq 3 ] && pass "exit status comes back (3)" || fail "exit status $rc, want 3" "$out$err"
  [ "$out" = $'line one\nline two\nargs=3 last=two words stdin=eof env=hello bits='$bits ] &&
    pass "stdout whole, no carriage returns, stdin at end, environment passed, $bits-bit" ||
    fail "stdout" "$(printf '%s' "$out" | od -c | head -n 8)"
  [ "$err" = "to stderr" ] && pass "stderr without carriage returns" ||
    fail "stderr" "$(printf '%s' "$err" | od -c | head -n 4)"
  [ -f "$px/system.reg" ] && pass "prefix made where asked" || fail "no prefix in $px"

  # A second run reuses the running server; ctest must not wait on helpers
  # holding our output pipe, so a pipe reader sees the end promptly.
  local start end
  start=$(date +%s)
  out="$(timeout 60 "${run[@]}" "$exe" 0 2>/dev/null | cat)"
  rc=$?
  end=$(date +%s)
  [ $rc -eq 0 ] && [ $((end - start)) -lt 20 ] && pass "warm run through a pipe ends promptly ($((end - start)) s)" ||
    fail "warm run: status $rc after $((end - start)) s" "$out"

  # Programs started at once all run, against the one server.
  local i pids=() bad=0
  for i in 1 2 3 4; do
    timeout 120 "${run[@]}" "$exe" 0 >/dev/null 2>&1 &
    pids+=($!)
  done
  for i in "${pids[@]}"; do wait "$i" || bad=$((bad + 1)); done
  [ $bad -eq 0 ] && pass "four programs started at once all run" || fail "$bad of four parallel runs failed"

  timeout 60 "${run[@]}" "$work/absent.exe" >/dev/null 2>"$work/err"
  rc=$?
  [ $rc -ne 0 ] && [ $rc -ne 125 ] && ! grep -q "wine start failed" "$work/err" &&
    pass "missing program fails as the program's failure ($rc)" ||
    fail "missing program gave status $rc" "$(cat "$work/err")"

  # --start-mark: a program that reached main (it made the mark) keeps its
  # status; one that never made it is started twice more, then is a start
  # failure.
  cat >"$work/mark.c" <<'EOF'
#include <stdio.h>
#include <stdlib.h>
int main(int argc, char** argv) {
  const char* mark = getenv("ORVO_START_MARK");
  if (argc > 2 && mark) fclose(fopen(mark, "wb"));
  return atoi(argv[1]);
}
EOF
  local mexe="$work/mark-$arch.exe"
  if "$triple-gcc-posix" -o "$mexe" "$work/mark.c" >"$work/build.log" 2>&1; then
    timeout 60 "$here/wine-run.sh" --arch "$arch" --prefix "$px" --start-mark "$mexe" 4 mark \
      >/dev/null 2>"$work/err"
    rc=$?
    [ $rc -eq 4 ] && ! grep -q "wine-run.sh" "$work/err" &&
      pass "--start-mark: a program that reached main keeps its status (4)" ||
      fail "--start-mark with the mark made: status $rc" "$(cat "$work/err")"
    timeout 120 "$here/wine-run.sh" --arch "$arch" --prefix "$px" --start-mark "$mexe" 4 \
      >/dev/null 2>"$work/err"
    rc=$?
    [ $rc -eq 125 ] && [ "$(grep -c "^wine-run.sh: wine did not start the program" "$work/err")" = 2 ] &&
      grep -q "^wine-run.sh: wine start failed: .* 3 times before reaching main" "$work/err" &&
      pass "--start-mark: a program that never reached main is started twice more, then fails to start" ||
      fail "--start-mark without the mark: status $rc" "$(cat "$work/err")"
    timeout 60 "$here/wine-run.sh" --arch "$arch" --prefix "$px" --start-mark "$mexe" 0 \
      >/dev/null 2>"$work/err"
    rc=$?
    [ $rc -eq 0 ] && ! grep -q "wine-run.sh" "$work/err" &&
      pass "--start-mark: success needs no mark" || fail "--start-mark, status 0: got $rc" "$(cat "$work/err")"
  else
    fail "build $(basename "$mexe")" "$(cat "$work/build.log")"
  fi

  # wine itself cannot start: a prefix that cannot be made.
  : >"$work/not-a-dir"
  timeout 60 "$here/wine-run.sh" --arch "$arch" --prefix "$work/not-a-dir/prefix" "$exe" 0 \
    >/dev/null 2>"$work/err"
  rc=$?
  [ $rc -eq 125 ] && grep -q "^wine-run.sh: wine start failed:" "$work/err" &&
    pass "wine's own start failure is status 125 with its line" ||
    fail "start failure gave status $rc" "$(cat "$work/err")"

  # --probe: this machine runs the loader; one the kernel will not execute (an
  # ELF head and nothing after it, as a kernel without 32-bit support sees
  # wine32's loader) is status 126 with its line.
  "$here/wine-run.sh" --arch "$arch" --probe 2>"$work/err"
  rc=$?
  [ $rc -eq 0 ] && pass "--probe: this machine runs the loader" ||
    fail "--probe gave status $rc" "$(cat "$work/err")"
  local class='\001' var=ORVO_WINE32
  [ "$arch" = win64 ] && class='\002' var=ORVO_WINE64
  printf "\177ELF$class\001\001" >"$work/refused-loader"
  chmod +x "$work/refused-loader"
  env "$var=$work/refused-loader" "$here/wine-run.sh" --arch "$arch" --probe 2>"$work/err"
  rc=$?
  [ $rc -eq 126 ] && grep -q "^wine-run.sh: this machine's kernel does not execute" "$work/err" &&
    pass "--probe: a loader the kernel refuses is status 126 with its line" ||
    fail "--probe of a refused loader gave status $rc" "$(cat "$work/err")"
}

case "$what" in
  dll) dll_cases ;;
  wine) wine_cases win64 x86_64-w64-mingw32 ;;
  wine32) wine_cases win32 i686-w64-mingw32 ;;
  all) dll_cases; wine_cases win64 x86_64-w64-mingw32; wine_cases win32 i686-w64-mingw32 ;;
  *) echo "usage: selftest.sh [dll|wine|wine32|all]" >&2; exit 2 ;;
esac
echo "selftest: $passed passed, $failed failed"
[ $failed -eq 0 ]
