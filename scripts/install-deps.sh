#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages a build needs, only those
# missing, and makes the de_DE.UTF-8 locale the tests use.
#
#   install-deps.sh demo                       Linux library and demo host
#   install-deps.sh test [linux|tsan|win32|win64|fuzz]... test builds (default: all)
# win32 includes wine32 (the 32-bit test run), which needs Debian's i386
# architecture: it is added when missing, and wine32 is installed after the
# rest, so that a machine without it still gets everything else and is told
# so in one line. Needs root when something is missing. ORVO_NO_INSTALL=1
# only checks.
set -u -o pipefail

mode="${1:-test}"
shift || true
parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(linux tsan win32 win64 fuzz)

pkgs=(cmake ninja-build g++ make nlohmann-json3-dev)
want_locale=0
want_wine32=0
case "$mode" in
  demo) pkgs+=(python3 python3-numpy libfreetype-dev libfontconfig-dev fonts-liberation2 libpng-dev) ;;
  test)
    for p in "${parts[@]}"; do
      case "$p" in
        linux) pkgs+=(libgtest-dev googletest libbenchmark-dev locales pkg-config clang-format-14
                     python3 python3-numpy python3-pytest
                     libfreetype-dev libfontconfig-dev fonts-liberation2 libpng-dev); want_locale=1 ;;
        tsan) pkgs+=(libgtest-dev googletest locales libfreetype-dev libfontconfig-dev
                    fonts-liberation2); want_locale=1 ;;
        # Both mingw compilers: the build checks' own tests make DLLs of each kind.
        # The 32-bit suite builds GoogleTest from source and runs under wine32.
        win32) pkgs+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
                      binutils-mingw-w64-x86-64 googletest)
               want_wine32=1 ;;
        win64) pkgs+=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest wine64) ;;
        # clang with its sanitizer and libFuzzer runtimes (libclang-rt-14-dev).
        fuzz) pkgs+=(clang libclang-rt-14-dev libfreetype-dev libfontconfig-dev fonts-liberation2) ;;
        *) echo "install-deps.sh: unknown part '$p'" >&2; exit 2 ;;
      esac
    done
    ;;
  *) echo "usage: install-deps.sh demo | test [linux|tsan|win32|win64|fuzz]..." >&2; exit 2 ;;
esac

installed() { grep -q 'install ok installed' <<<"$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)"; }

missing=()
for p in "${pkgs[@]}"; do
  installed "$p" || [[ " ${missing[*]} " == *" $p "* ]] || missing+=("$p")
done

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"
  elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then sudo "$@"
  else return 126
  fi
}

if [ ${#missing[@]} -gt 0 ]; then
  if [ "${ORVO_NO_INSTALL:-0}" = 1 ]; then
    echo "install-deps: missing packages (not installing): ${missing[*]}" >&2
    exit 1
  fi
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -q </dev/null ||
    { echo "install-deps: apt-get update failed (run as root?); missing: ${missing[*]}" >&2; exit 1; }
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null ||
    { echo "install-deps: apt-get install failed; missing: ${missing[*]}" >&2; exit 1; }
else
  echo "install-deps: all ${#pkgs[@]} packages present"
fi

# wine32 is the i386 package of the same wine version as wine64.
status=0
if [ $want_wine32 -eq 1 ] && ! installed wine32:i386; then
  if [ "${ORVO_NO_INSTALL:-0}" = 1 ]; then
    echo "install-deps: wine32 missing (not installing)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  if ! grep -qx i386 <<<"$(dpkg --print-foreign-architectures)"; then
    echo "install-deps: adding the i386 architecture for wine32"
    as_root dpkg --add-architecture i386 && as_root apt-get update -q </dev/null >/dev/null
  elif [ ${#missing[@]} -eq 0 ]; then
    as_root apt-get update -q </dev/null >/dev/null
  fi
  echo "install-deps: installing wine32:i386"
  as_root apt-get install -y -q --no-install-recommends wine32:i386 </dev/null ||
    { echo "install-deps: wine32 cannot be installed; the 32-bit tests cannot run" >&2; status=1; }
fi

# The test program switches to a locale whose decimal separator is a comma.
if [ $want_locale -eq 1 ] && ! grep -qix 'de_DE\.utf-\?8' <<<"$(locale -a 2>/dev/null)"; then
  echo "install-deps: generating the de_DE.UTF-8 locale"
  if [ -f /etc/locale.gen ] && ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen; then
    as_root sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root localedef -i de_DE -c -f UTF-8 -A /usr/share/locale/locale.alias de_DE.UTF-8 ||
    { echo "install-deps: cannot make the de_DE.UTF-8 locale" >&2; exit 1; }
fi
exit $status
