#!/usr/bin/env bash
# Checks a built orvoapi.dll against api/exports.list:
#   - the file is a PE DLL for the expected machine (PE32 i386 by default);
#   - every listed name is exported under its plain name and with a leading
#     underscore, both naming the same code (same RVA), neither forwarded;
#   - nothing else is exported (no extra names, no ordinal-only entries);
#   - it imports system DLLs only, never the compiler's runtime DLLs.
#
#   check_dll.sh [--arch i386|x86-64] [--objdump PROGRAM] DLL EXPORTS_LIST
#
# Prints one line per problem and exits 1 if there is any, 2 on bad usage.
set -u -o pipefail

arch=i386
objdump=""
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch="$2"; shift 2 ;;
    --objdump) objdump="$2"; shift 2 ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    --) shift; break ;;
    -*) echo "check_dll.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
[ $# -eq 2 ] || { echo "usage: check_dll.sh [--arch i386|x86-64] DLL EXPORTS_LIST" >&2; exit 2; }
dll="$1"
list="$2"

case "$arch" in
  i386)   want_format=pei-i386;      want_magic=010b; want_kind=PE32;  triple=i686-w64-mingw32 ;;
  x86-64) want_format=pei-x86-64;    want_magic=020b; want_kind=PE32+; triple=x86_64-w64-mingw32 ;;
  *) echo "check_dll.sh: --arch must be i386 or x86-64" >&2; exit 2 ;;
esac
[ -n "$objdump" ] || objdump="$triple-objdump"
command -v "$objdump" >/dev/null || { echo "check_dll.sh: $objdump not found" >&2; exit 2; }
[ -f "$dll" ] || { echo "check_dll.sh: no such file: $dll" >&2; exit 2; }
[ -r "$list" ] || { echo "check_dll.sh: no such file: $list" >&2; exit 2; }

# System DLLs a Windows program may import (lower case). Anything else,
# above all the runtime DLLs of the compiler, is a missing static link.
system_dlls=" kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll shell32.dll
  ole32.dll oleaut32.dll ntdll.dll ws2_32.dll bcrypt.dll crypt32.dll secur32.dll
  shlwapi.dll version.dll comdlg32.dll comctl32.dll winspool.drv imm32.dll winmm.dll
  rpcrt4.dll usp10.dll psapi.dll dbghelp.dll userenv.dll iphlpapi.dll msimg32.dll
  setupapi.dll uxtheme.dll dwmapi.dll gdiplus.dll "

problems=0
problem() { echo "check_dll: $*"; problems=$((problems + 1)); }

if ! header="$("$objdump" -f "$dll" 2>&1)" || ! private="$("$objdump" -p "$dll" 2>&1)"; then
  echo "check_dll: FAILED: $dll is not a $want_kind $arch file: ${header:-$private}" | head -n 3
  exit 1
fi

# --- Kind of file.
format="$(sed -n 's/.*file format \([^ ]*\).*/\1/p' <<<"$header" | head -n1)"
[ "$format" = "$want_format" ] || problem "file format is '$format', want $want_format ($want_kind)"
magic="$(awk '$1 == "Magic" { print $2; exit }' <<<"$private")"
[ "$magic" = "$want_magic" ] || problem "optional header magic is '$magic', want $want_magic ($want_kind)"
grep -q 'DLL' <<<"$(awk '/^Characteristics/,/^$/' <<<"$private")" ||
  problem "the file is not marked as a DLL"

# --- Expected names.
declare -A want=()
while IFS= read -r line || [ -n "$line" ]; do
  line="${line%%#*}"
  line="$(tr -d ' \t\r' <<<"$line")"
  [ -n "$line" ] || continue
  want["$line"]=1
done <"$list"
[ ${#want[@]} -gt 0 ] || problem "$list names no export"

# --- Export table: "[ i] +base[ o] RVA Export RVA" entries, then "[ i] name".
declare -A rva_of_entry=() kind_of_entry=() entry_of_name=()
in_eat=0 in_names=0 entries=0
while IFS= read -r line; do
  case "$line" in
    "Export Address Table -- Ordinal Base"*) in_eat=1; in_names=0; continue ;;
    "[Ordinal/Name Pointer] Table"*) in_names=1; in_eat=0; continue ;;
    "") in_eat=0; in_names=0; continue ;;
  esac
  if [ $in_eat -eq 1 ] && [[ "$line" =~ ^[[:space:]]*\[[[:space:]]*([0-9]+)\][[:space:]]*\+base\[[[:space:]]*[0-9]+\][[:space:]]+([0-9a-fA-F]+)[[:space:]]+(Export|Forwarder)[[:space:]]+RVA ]]; then
    rva_of_entry["${BASH_REMATCH[1]}"]="${BASH_REMATCH[2]}"
    kind_of_entry["${BASH_REMATCH[1]}"]="${BASH_REMATCH[3]}"
    entries=$((entries + 1))
  elif [ $in_names -eq 1 ] && [[ "$line" =~ ^[[:space:]]*\[[[:space:]]*([0-9]+)\][[:space:]]+([^[:space:]]+) ]]; then
    name="${BASH_REMATCH[2]}"
    if [ -n "${entry_of_name[$name]:-}" ]; then problem "'$name' is exported twice"; fi
    entry_of_name["$name"]="${BASH_REMATCH[1]}"
  fi
done <<<"$private"

[ $entries -gt 0 ] || problem "the DLL has no export table"

for n in "${!want[@]}"; do
  plain="${entry_of_name[$n]:-}"
  under="${entry_of_name[_$n]:-}"
  [ -n "$plain" ] || problem "missing export '$n'"
  [ -n "$under" ] || problem "missing export '_$n'"
  if [ -n "$plain" ] && [ -n "$under" ] &&
     [ "${rva_of_entry[$plain]:-x}" != "${rva_of_entry[$under]:-y}" ]; then
    problem "'$n' (RVA ${rva_of_entry[$plain]:-none}) and '_$n' (RVA ${rva_of_entry[$under]:-none}) are not the same function"
  fi
  for e in "$plain" "$under"; do
    [ -n "$e" ] && [ "${kind_of_entry[$e]:-}" = Forwarder ] && problem "export entry $e of '$n' is forwarded"
  done
done
for name in "${!entry_of_name[@]}"; do
  base="${name#_}"
  if [ -z "${want[$name]:-}" ] && { [ "$name" = "$base" ] || [ -z "${want[$base]:-}" ]; }; then
    problem "unexpected export '$name'"
  fi
done
declare -A named_entry=()
for name in "${!entry_of_name[@]}"; do named_entry["${entry_of_name[$name]}"]=1; done
for e in "${!rva_of_entry[@]}"; do
  [ -n "${named_entry[$e]:-}" ] || problem "export entry $e (RVA ${rva_of_entry[$e]}) has no name"
done

# --- Imports.
imports=()
while IFS= read -r d; do imports+=("$d"); done < <(sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' <<<"$private" | tr -d '\r')
for d in "${imports[@]}"; do
  lower="${d,,}"
  case "$lower" in
    libgcc*|libstdc++*|libwinpthread*|libgomp*|libssp*|libatomic*|libquadmath*)
      problem "imports the compiler runtime DLL '$d' (link it statically)"; continue ;;
    api-ms-win-*|ext-ms-win-*) continue ;;
  esac
  [[ "$system_dlls" == *" $lower "* ]] || problem "imports '$d', which is not a system DLL"
done

if [ $problems -ne 0 ]; then
  echo "check_dll: FAILED: $problems problem(s) in $dll"
  exit 1
fi
echo "check_dll: OK: $dll is $want_kind $arch; ${#want[@]} exports under both names; imports: ${imports[*]:-none}"
exit 0
