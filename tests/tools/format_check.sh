#!/usr/bin/env bash
# Every C++ source and header of the project follows .clang-format.  format_check.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 2
command -v clang-format >/dev/null || { echo "clang-format is missing (tools/bootstrap.sh installs it)"; exit 2; }
status=0 count=0
while IFS= read -r -d '' file; do
  count=$((count + 1))
  if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
    echo "not formatted: $file (clang-format -i $file)"
    status=1
  fi
done < <(find . -path ./build -prune -o -path ./.git -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0)
[ "$count" -gt 0 ] || { echo "no sources found under $1"; exit 2; }
[ $status -eq 0 ] && echo "$count files follow .clang-format"
exit $status
