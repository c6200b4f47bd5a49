#!/usr/bin/env bash
# Checks that every C and C++ file git tracks is formatted as .clang-format
# says (clang-format 14, Debian's clang-format-14). Lists the files that are
# not and exits 1; `scripts/check-format.sh --fix` formats them in place.
set -u -o pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
format=clang-format-14
command -v "$format" >/dev/null || format=clang-format
command -v "$format" >/dev/null || { echo "check-format: clang-format-14 is not installed" >&2; exit 1; }
readarray -t files < <(git ls-files '*.c' '*.cc' '*.h')
[ ${#files[@]} -gt 0 ] || { echo "check-format: no files found (not a git checkout?)" >&2; exit 1; }
if [ "${1:-}" = --fix ]; then
  "$format" -i "${files[@]}"
  exit $?
fi
bad=()
for f in "${files[@]}"; do
  "$format" --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  echo "check-format: ${#bad[@]} file(s) not formatted (scripts/check-format.sh --fix):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
