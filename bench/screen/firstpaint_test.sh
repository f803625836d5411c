#!/usr/bin/env bash
# snipwell_firstpaint on the plain case: a window that is grey at first and
# paints a pattern only after 400 ms. The first paint is seen; the rectangle
# watches wait for the pattern, never answer before it was painted, and a
# pattern that never shows is reported as not measured.
set -euo pipefail
: "${FIRSTPAINT:?}" "${TESTPAINTER:?}"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$TESTPAINTER" --pattern "$tmp/pattern.png"
rect=20,20,64,48

first=$("$FIRSTPAINT" -- "$TESTPAINTER" 400) || fail "the first paint was not seen"
echo "first paint: $first ms"

shown=$("$FIRSTPAINT" --not-uniform "$rect" -- "$TESTPAINTER" 400) ||
    fail "the pattern was not seen as a rectangle that is not one colour"
echo "not uniform: $shown ms"
awk -v t="$shown" 'BEGIN { exit !(t >= 400) }' || fail "not uniform before the pattern was painted"

matched=$("$FIRSTPAINT" --matches "$rect" "$tmp/pattern.png" -- "$TESTPAINTER" 400) ||
    fail "the pattern's pixels were not matched"
echo "matches: $matched ms"
awk -v t="$matched" 'BEGIN { exit !(t >= 400) }' || fail "matched before the pattern was painted"

# The same pixels one column off are not there: the watch gives up and says so.
if "$FIRSTPAINT" --timeout 1500 --matches 21,20,64,48 "$tmp/pattern.png" -- "$TESTPAINTER" 400 \
    >"$tmp/shifted.txt"; then
    fail "a rectangle one pixel off matched the pattern"
fi
grep -qx failed "$tmp/shifted.txt" || fail "a run that was not measured did not say so"
echo "PASS"
