#!/usr/bin/env bash
# Converts every picture the machine's own packages ship (under /usr/share by
# default) with qelcli convert, to a 320 x 240 16-bit stream, and counts the
# outcomes: converted (exit 0), refused with a reason (exit 2), failed
# (anything else: a crash, a time-out, another exit code). Refusal reasons
# and every failure are listed. Not part of the test run.
# Usage: bench/real_files.sh [BUILD] [ROOT...]
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
shift || true
ROOTS=("$@")
[ ${#ROOTS[@]} -eq 0 ] && ROOTS=(/usr/share)
CLI=$PWD/$BUILD/cli/qelcli
[ -x "$CLI" ] || { echo "no $CLI: build qelcli first" >&2; exit 1; }
OUT=$(mktemp -d /tmp/qel-real-files.XXXXXX)
export QT_QPA_PLATFORM=offscreen QEL_SYSTEM_PORTS=0 CLI OUT

find "${ROOTS[@]}" -type f \( -iname '*.png' -o -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.gif' \
  -o -iname '*.bmp' -o -iname '*.svg' -o -iname '*.svgz' -o -iname '*.ico' -o -iname '*.xpm' -o -iname '*.xbm' \
  -o -iname '*.pbm' -o -iname '*.pgm' -o -iname '*.ppm' -o -iname '*.tif' -o -iname '*.tiff' -o -iname '*.webp' \
  -o -iname '*.tga' -o -iname '*.icns' -o -iname '*.cur' \) -print0 2>/dev/null >"$OUT/list"
total=$(tr -cd '\0' <"$OUT/list" | wc -c)
echo "files: $total"

one() {
  local f=$1 rc
  timeout 30 "$CLI" convert "$f" --size 320x240 -o /dev/null >/dev/null 2>"$OUT/err.$$"
  rc=$?
  printf '%s\t%s\t%s\n' "$rc" "$f" "$(grep -v '^QStandardPaths' "$OUT/err.$$" | tr '\n' ' ')" >>"$OUT/results.$$"
}
export -f one
start=$(date +%s)
xargs -0 -n 1 -P "${JOBS:-2}" bash -c 'one "$0"' <"$OUT/list"
cat "$OUT"/results.* >"$OUT/results"
echo "seconds: $(( $(date +%s) - start ))"
echo "converted: $(awk -F'\t' '$1 == 0' "$OUT/results" | wc -l)"
echo "refused:   $(awk -F'\t' '$1 == 2' "$OUT/results" | wc -l)"
echo "failed:    $(awk -F'\t' '$1 != 0 && $1 != 2' "$OUT/results" | wc -l)"
echo "refusals by reason:"
awk -F'\t' '$1 == 2 { sub(/.*”：/, "", $3); print $3 }' "$OUT/results" | sort | uniq -c | sort -rn | head -20
echo "refused files by type:"
awk -F'\t' '$1 == 2 { n = split($2, p, "."); print tolower(p[n]) }' "$OUT/results" | sort | uniq -c | sort -rn
echo "failures:"
awk -F'\t' '$1 != 0 && $1 != 2 { print $1 "\t" $2 }' "$OUT/results" | head -50
echo "results: $OUT/results"
