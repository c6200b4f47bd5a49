#!/usr/bin/env bash
# Runs a Windows program under wine, headless, in a wine prefix of its own
# (never ~/.wine): 64-bit programs under wine64 in a win64 prefix, 32-bit ones
# under wine32 in a win32 prefix. The toolchain files make this the emulator
# of the cross builds, so ctest and gtest_discover_tests run every test
# through it.
#
#   wine-run.sh [OPTIONS] [--] PROGRAM [ARGS...]   run PROGRAM
#   wine-run.sh [OPTIONS] --init                   create the prefix (once) and
#                                                  start its wineserver
#   wine-run.sh [OPTIONS] --stop                   stop that wineserver
#   wine-run.sh [OPTIONS] --probe                  whether this machine runs
#                                                  the arch's wine at all: 0
#                                                  yes, 126 its kernel refuses
#                                                  the loader (no 32-bit
#                                                  support), 125 no wine
# Options: --prefix DIR (default $WINEPREFIX, else ./wineprefix);
#          --arch win32|win64 (default $ORVO_WINEARCH, else win64);
#          --start-mark: the program creates the file named by ORVO_START_MARK
#          first thing in main (the test program does), so that a run that
#          ended without it is known to have died in wine's start.
#
# The program's stdin is /dev/null, and the carriage returns that the Windows
# C runtime writes before each newline are removed from its output, so that
# `--gtest_list_tests` parses as on Linux. The exit status is the program's.
#
# Starting wine is made deterministic: one wineserver per prefix is started
# before any program runs, and it stays until --stop (or for ORVO_WINE_LINGER
# seconds without programs, when that is set). Left to itself, every wine
# program that finds no server starts one that exits three seconds after its
# last program, and shuts the prefix's helper processes down on the way out; a
# program starting during that shutdown is killed before it reaches main. So
# --init (or the first run, under a lock) makes the prefix, starts the server
# and waits until it accepts connections, then boots the helpers with a
# program whose output goes to /dev/null (started by a test, they would
# inherit its output pipe and ctest would wait on them). A run never starts a
# server of its own.
#
# When wine cannot be started for the program (no wine, no prefix, no server),
# the exit status is 125 and stderr has a line beginning
# "wine-run.sh: wine start failed:"; the program has then not run at all.
# With --start-mark, a run that fails before the program reached main (rare:
# a wine program can die in its start, before any of its code runs, with no
# output) is started again, at most twice, each time with a line
# "wine-run.sh: wine did not start the program ..." on stderr (test-all.sh
# counts them); if it never starts, that is a start failure as above.
set -u -o pipefail

prefix="${WINEPREFIX:-$PWD/wineprefix}"
arch="${ORVO_WINEARCH:-win64}"
action=run
start_mark=0
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="$2"; shift 2 ;;
    --arch) arch="$2"; shift 2 ;;
    --init) action=init; shift ;;
    --stop) action=stop; shift ;;
    --probe) action=probe; shift ;;
    --start-mark) start_mark=1; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done

start_failed() { echo "wine-run.sh: wine start failed: $*" >&2; exit 125; }

# Debian's wine64 and wine32 do not put their launchers on PATH; look where
# the packages put them, then on PATH.
# An ELF file's class byte (01: 32-bit, 02: 64-bit); nothing for other files.
elf_class() {
  [ "$(od -An -tx1 -N4 "$1" 2>/dev/null | tr -d ' \n')" = 7f454c46 ] &&
    od -An -tx1 -j4 -N1 "$1" | tr -d ' \n'
}
find_wine() {
  local c
  if [ "$arch" = win64 ]; then
    for c in "${ORVO_WINE64:-}" /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 \
             "$(command -v wine64 2>/dev/null)"; do
      [ -n "$c" ] && [ -x "$c" ] && { echo "$c"; return 0; }
    done
  else
    # wine32's loader; /usr/bin/wine is a wrapper that may pick wine64.
    for c in "${ORVO_WINE32:-}" /usr/lib/wine/wine /usr/lib/i386-linux-gnu/wine/wine; do
      [ -n "$c" ] && [ -x "$c" ] && [ "$(elf_class "$c")" = 01 ] && { echo "$c"; return 0; }
    done
  fi
  return 1
}
find_wineserver() {
  local c dir bits=64
  [ "$arch" = win32 ] && bits=32
  dir="$(dirname "$WINE")"
  for c in "$dir/wineserver$bits" "$dir/wineserver64" "$dir/wineserver32" \
           "$(command -v wineserver 2>/dev/null)"; do
    [ -n "$c" ] && [ -x "$c" ] && [ -n "$(elf_class "$c")" ] && { echo "$c"; return 0; }
  done
  return 1
}

case "$arch" in
  win64) WINE="$(find_wine)" || start_failed "wine64 not found (apt-get install wine64)" ;;
  win32) WINE="$(find_wine)" ||
           start_failed "32-bit wine not found (dpkg --add-architecture i386; apt-get install wine32:i386)" ;;
  *) echo "wine-run.sh: --arch is win32 or win64, not '$arch'" >&2; exit 2 ;;
esac

# The loader run on its own, with no prefix: bash gives 126 when the kernel
# will not execute it ("Exec format error": a kernel built without 32-bit
# support), which no package can mend.
if [ "$action" = probe ]; then
  "$WINE" --version </dev/null >/dev/null 2>&1
  rc=$?
  if [ $rc -eq 126 ]; then
    echo "wine-run.sh: this machine's kernel does not execute $WINE ($arch programs cannot run here)" >&2
    exit 126
  fi
  [ $rc -eq 0 ] || start_failed "$WINE --version failed (status $rc)"
  exit 0
fi

WINESERVER_BIN="$(find_wineserver)" || start_failed "wineserver not found next to $WINE"

case "$prefix" in
  /*) ;;
  *) prefix="$PWD/$prefix" ;;
esac
export WINEPREFIX="$prefix"
export WINEARCH="$arch"
export WINELOADER="$WINE"
export WINESERVER="$WINESERVER_BIN"
export WINEDEBUG=-all
# No Mono or Gecko install prompts, no windows: console programs only.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
[ -n "${HOME:-}" ] || export HOME="$prefix"

ready_mark="$prefix/.orvo-ready"      # holds the prefix's arch
server_state="$prefix/.orvo-wineserver"

# The name of the directory wineserver works in: wine names it after the
# prefix's device and inode (the directory above it varies with the build).
server_dir_name() {
  local dev ino
  read -r dev ino < <(stat -c '%d %i' "$prefix" 2>/dev/null) || return 1
  printf 'server-%x-%x\n' "$dev" "$ino"
}

prefix_ready() { [ -f "$ready_mark" ] && [ "$(cat "$ready_mark" 2>/dev/null)" = "$arch" ]; }

# Whether the server recorded for the prefix runs and accepts connections.
server_alive() {
  local pid name cwd
  [ -f "$server_state" ] || return 1
  read -r pid <"$server_state" || return 1
  [ -n "$pid" ] || return 1
  name="$(server_dir_name)" || return 1
  cwd="$(readlink "/proc/$pid/cwd" 2>/dev/null)" || return 1
  [ "${cwd##*/}" = "$name" ] && [ -S "$cwd/socket" ]
}

# The pid of the wineserver working for the prefix.
server_pid() {
  local name p cwd
  name="$(server_dir_name)" || return 1
  for p in /proc/[0-9]*; do
    cwd="$(readlink "$p/cwd" 2>/dev/null)" || continue
    [ "${cwd##*/}" = "$name" ] || continue
    case "$(readlink "$p/exe" 2>/dev/null)" in
      */wineserver*) echo "${p#/proc/}"; return 0 ;;
    esac
  done
  return 1
}

stop_server() {
  [ -d "$prefix" ] || return 0
  "$WINESERVER_BIN" -k </dev/null >/dev/null 2>&1
  "$WINESERVER_BIN" -w </dev/null >/dev/null 2>&1
  rm -f "$server_state"
}

# Makes the prefix and starts its server, once; concurrent callers (ctest -j)
# wait on the lock. Returns non-zero with a reason on stderr.
ensure_started() {
  prefix_ready && server_alive && return 0
  mkdir -p "$(dirname "$prefix")" || { echo "cannot create $(dirname "$prefix")" >&2; return 1; }
  exec 9>"$prefix.lock" || { echo "cannot open $prefix.lock" >&2; return 1; }
  flock 9
  local rc=0
  if ! prefix_ready; then
    # A prefix of another arch, or half made: start over. wineboot starts a
    # server of its own; wait until it and its helpers have gone.
    stop_server
    rm -rf "$prefix"
    "$WINE" wineboot --init </dev/null >/dev/null 2>&1
    rc=$?
    "$WINESERVER_BIN" -w </dev/null >/dev/null 2>&1
    if [ $rc -eq 0 ] && [ -f "$prefix/system.reg" ]; then
      echo "$arch" >"$ready_mark"
    else
      echo "wineboot --init failed for $prefix (status $rc)" >&2
      # 126: the loader itself would not run, e.g. a kernel without 32-bit
      # support refuses i386 programs ("Exec format error").
      if [ $rc -eq 126 ] && [ "$arch" = win32 ]; then
        echo "wine32 cannot start: this machine does not execute its 32-bit loader" >&2
      fi
      rc=1
    fi
  fi
  if [ $rc -eq 0 ] && ! server_alive; then
    rm -f "$server_state"
    # Without -f, wineserver returns once it accepts connections: 0 when it
    # started, 2 when a server of the prefix already runs (one not started
    # here, or on its way out); that one is waited for and replaced.
    local linger="-p${ORVO_WINE_LINGER:-}" status pid
    setsid "$WINESERVER_BIN" "$linger" </dev/null >/dev/null 2>&1
    status=$?
    if [ $status -eq 2 ]; then
      "$WINESERVER_BIN" -k </dev/null >/dev/null 2>&1
      "$WINESERVER_BIN" -w </dev/null >/dev/null 2>&1
      setsid "$WINESERVER_BIN" "$linger" </dev/null >/dev/null 2>&1
      status=$?
    fi
    # The daemon it forks may take a moment to show in /proc with its socket.
    local tries=0
    while [ $status -eq 0 ] && [ $tries -lt 50 ]; do
      if pid="$(server_pid)" && echo "$pid" >"$server_state" && server_alive; then break; fi
      rm -f "$server_state"
      tries=$((tries + 1))
      sleep 0.2
    done
    if [ -f "$server_state" ]; then
      # Any program boots the helpers; this one has nothing of ours open.
      "$WINE" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
    fi
    server_alive || { echo "wineserver did not start for $prefix (status $status)" >&2; rc=1; }
  fi
  flock -u 9
  exec 9>&-
  return $rc
}

case "$action" in
  init)
    reason="$(ensure_started 2>&1)" || start_failed "$reason"
    exit 0
    ;;
  stop)
    stop_server
    exit 0
    ;;
esac

[ $# -gt 0 ] || { echo "wine-run.sh: no program given" >&2; exit 2; }
reason="$(ensure_started 2>&1)" || start_failed "$reason"
exec 3> >(tr -d '\r' >&2)
err_filter=$!
mark=""
if [ $start_mark -eq 1 ]; then
  mark="$(mktemp "${TMPDIR:-/tmp}/orvo-start.XXXXXX")" || start_failed "cannot make a start mark file"
  # The program sees the file through wine's Z: drive, the root of the Unix tree.
  export ORVO_START_MARK="Z:${mark//\//\\}"
fi
attempt=1
while :; do
  [ -n "$mark" ] && rm -f "$mark"
  "$WINE" "$@" </dev/null 2>&3 3>&- | tr -d '\r'
  rc=${PIPESTATUS[0]}
  [ $rc -eq 0 ] || [ -z "$mark" ] || [ -e "$mark" ] && break
  if [ $attempt -ge 3 ]; then
    echo "wine-run.sh: wine start failed: the program ended with status $rc $attempt times before reaching main" >&3
    rc=125
    break
  fi
  echo "wine-run.sh: wine did not start the program (status $rc before main); starting it again" >&3
  attempt=$((attempt + 1))
done
[ -n "$mark" ] && rm -f "$mark"
exec 3>&-
wait "$err_filter" 2>/dev/null
exit "$rc"
