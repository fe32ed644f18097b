#!/usr/bin/env bash
# The same sources built in another folder give byte-identical programs and
# packages. Run after tools/package.sh has built them here; builds the
# programs and packages again from a copy of the working tree at another
# path, compares, and removes the copy.
#   tests/packages/reproducible.sh
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$repo" log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
trap 'exit 130' INT TERM
other="$scratch/somewhere/else/qvlfest"
mkdir -p "$other"
(cd "$repo" && git ls-files -z --cached --others --exclude-standard |
   xargs -0 cp --parents -t "$other" 2>/dev/null)
echo "building again in $other"
(cd "$other" && bash tools/package.sh >"$scratch/package.log" 2>&1) ||
  { tail -20 "$scratch/package.log"; exit 1; }
failures=0 passes=0
for f in "windows/QVLFEST.exe" "windows/QVLFEST (Non-LCARS).exe" linux/qvlfest \
         linux/qvlfest-non-lcars $(cd "$repo/build" && ls packages/*); do
  if cmp -s "$repo/build/$f" "$other/build/$f"; then
    passes=$((passes + 1)); echo "  ok: $(basename "$f") is the same, byte for byte"
  else
    failures=$((failures + 1)); echo "  FAILED: $(basename "$f") differs"
    cmp -l "$repo/build/$f" "$other/build/$f" 2>&1 | head -3
  fi
done
echo "reproducible: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
