#!/usr/bin/env bash
# Runs a 64-bit Windows program under wine64, headless, in a wine prefix of its
# own (never ~/.wine). The x86_64 toolchain file makes this the emulator of
# the cross build, so ctest and gtest_discover_tests run every test through it.
#
#   wine-run.sh --prefix DIR [--] PROGRAM [ARGS...]   run PROGRAM
#   wine-run.sh --prefix DIR --init                   create the prefix (once)
#                                                     and keep its wineserver up
#   wine-run.sh --prefix DIR --stop                   stop that wineserver
#
# Without --prefix, $WINEPREFIX is used if set, else ./wineprefix.
# The program's stdin is /dev/null, and the carriage returns that the Windows
# C runtime writes before each newline are removed from its output, so that
# `--gtest_list_tests` parses as on Linux. The exit status is the program's.
set -u -o pipefail

prefix="${WINEPREFIX:-$PWD/wineprefix}"
action=run
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="$2"; shift 2 ;;
    --init) action=init; shift ;;
    --stop) action=stop; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done

die() { echo "wine-run.sh: $*" >&2; exit 125; }

# Debian's wine64 does not put its launcher on PATH; look where the package
# puts it, then on PATH, then in the package's file list.
find_wine() {
  local c
  for c in "${ORVO_WINE64:-}" /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 \
           "$(command -v wine64 2>/dev/null)"; do
    [ -n "$c" ] && [ -x "$c" ] && { echo "$c"; return 0; }
  done
  c="$(dpkg -L wine64 2>/dev/null | grep -E '/wine64$' | head -n1)"
  [ -n "$c" ] && [ -x "$c" ] && { echo "$c"; return 0; }
  return 1
}
find_wineserver() {
  local c dir
  dir="$(dirname "$WINE")"
  for c in "$dir/wineserver64" "$dir/wineserver" "$(command -v wineserver 2>/dev/null)"; do
    [ -n "$c" ] && [ -x "$c" ] && { echo "$c"; return 0; }
  done
  return 1
}

WINE="$(find_wine)" || die "wine64 not found (apt-get install wine64)"
WINESERVER_BIN="$(find_wineserver)" || die "wineserver not found next to $WINE"

case "$prefix" in
  /*) ;;
  *) prefix="$PWD/$prefix" ;;
esac
export WINEPREFIX="$prefix"
export WINEARCH=win64
export WINELOADER="$WINE"
export WINESERVER="$WINESERVER_BIN"
export WINEDEBUG=-all
# No Mono or Gecko install prompts, no windows: console programs only.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
[ -n "${HOME:-}" ] || export HOME="$prefix"

# Creates the prefix once; concurrent callers (ctest -j) wait on a lock.
ensure_prefix() {
  [ -f "$prefix/.orvo-ready" ] && return 0
  mkdir -p "$(dirname "$prefix")" || die "cannot create $(dirname "$prefix")"
  exec 9>"$prefix.lock" || die "cannot lock $prefix.lock"
  flock 9
  if [ ! -f "$prefix/.orvo-ready" ]; then
    rm -rf "$prefix"
    "$WINE" wineboot --init </dev/null >/dev/null 2>&1
    local rc=$?
    "$WINESERVER_BIN" -w </dev/null >/dev/null 2>&1
    [ $rc -eq 0 ] && [ -f "$prefix/system.reg" ] ||
      { flock -u 9; die "wineboot --init failed for $prefix (status $rc)"; }
    touch "$prefix/.orvo-ready"
  fi
  flock -u 9
  exec 9>&-
}

# The prefix's wineserver is started here, detached from our caller's
# descriptors, and is kept for ORVO_WINE_LINGER seconds (default 120) after
# its last program ends. Its helper processes (services.exe and the like) are
# started here too, by a program whose output goes to /dev/null: started by a
# test instead, they would inherit its output pipe and ctest would wait on
# them until the server exits.
server_state="$prefix/.orvo-wineserver"
server_alive() {
  local pid id
  [ -f "$server_state" ] || return 1
  read -r pid id <"$server_state" || return 1
  [ -n "$pid" ] && [ -n "$id" ] || return 1
  case "$(readlink "/proc/$pid/cwd" 2>/dev/null)" in
    */"server-$id") return 0 ;;
  esac
  return 1
}
ensure_server() {
  server_alive && return 0
  exec 8>"$prefix.server-lock" || die "cannot lock $prefix.server-lock"
  flock 8
  if ! server_alive; then
    local pid id
    id="$(printf '%x-%x' $(stat -c '%d %i' "$prefix"))"
    setsid "$WINESERVER_BIN" -f -p"${ORVO_WINE_LINGER:-120}" </dev/null >/dev/null 2>&1 &
    pid=$!
    disown "$pid"
    # Any program boots the helpers; this one has nothing of ours open.
    "$WINE" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
    echo "$pid $id" >"$server_state"
  fi
  flock -u 8
  exec 8>&-
}

case "$action" in
  init)
    ensure_prefix
    ensure_server
    server_alive || die "wineserver did not stay up for $prefix"
    exit 0
    ;;
  stop)
    [ -d "$prefix" ] || exit 0
    "$WINESERVER_BIN" -k </dev/null >/dev/null 2>&1
    "$WINESERVER_BIN" -w </dev/null >/dev/null 2>&1
    rm -f "$server_state"
    exit 0
    ;;
esac

[ $# -gt 0 ] || die "no program given"
ensure_prefix
ensure_server
exec 3> >(tr -d '\r' >&2)
err_filter=$!
"$WINE" "$@" </dev/null 2>&3 3>&- | tr -d '\r'
rc=${PIPESTATUS[0]}
exec 3>&-
wait "$err_filter" 2>/dev/null
exit "$rc"
