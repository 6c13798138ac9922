#!/usr/bin/env bash
# Figures of the C export for a small controller: exports a test screen (a
# stored picture, a Chinese label, an ASCII label, a value with a Var, and a
# second screen without picture) with qelcli screen export --c, compiles the
# source with each C compiler under the promised flags at -Os and -O2 with
# -fstack-usage, and prints the object's sizes (size, Berkeley format) and
# its largest stack frame. With the picture option the 240 x 128 16-bit
# picture and its transfer are in the object too. Not part of the test run.
# Usage: bench/c_export_figures.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
CLI=$PWD/$BUILD/cli/qelcli
[ -x "$CLI" ] || { echo "no $CLI: build qelcli first" >&2; exit 1; }
OUT=$(mktemp -d /tmp/qel-c-export.XXXXXX)
trap 'rm -rf "$OUT"' EXIT
mkdir -m 700 "$OUT/run"
export QT_QPA_PLATFORM=offscreen QEL_SYSTEM_PORTS=0 XDG_RUNTIME_DIR=$OUT/run

# A 90 x 60 gradient as a plain PPM (no image tools needed).
{
  echo "P3 90 60 255"
  for ((y = 0; y < 60; y++)); do
    for ((x = 0; x < 90; x++)); do echo "$((x * 255 / 89)) $((y * 255 / 59)) 128"; done
  done
} >"$OUT/art.ppm"
cat >"$OUT/panel.qels" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Screens Ver="1.0" Width="240" Height="128" Bpp="16">
  <Font Size="16x16" File="fonts/hz_16x16.fnt"/>
  <Font Size="12x24" File="fonts/ascii_12x24.fnt"/>
  <Screen Name="main" Slot="3" Background="#102010" Dither="ordered">
    <Picture File="art.ppm" X="10" Y="8" Width="100" Height="60" KeepAspect="1"/>
    <Text X="120" Y="10" Font="16x16" Color="#FFFF00" Back="#0000FF">温度</Text>
    <Text X="10" Y="80" Font="12x24" Color="#FFFFFF">T=</Text>
    <Text X="34" Y="80" Font="12x24" Color="#00FF00" Var="temp" MaxChars="6">25.5</Text>
  </Screen>
  <Screen Name="plain" Background="#FF8000">
    <Text X="0" Y="0" Font="12x24" Color="#000000" Var="v" MaxChars="8">42</Text>
  </Screen>
</Screens>
XML

printf '%-14s %-6s %-4s %8s %6s %6s  %s\n' export compiler opt text data bss "largest stack frame"
for variant in plain with-picture; do
  opts=(); [ "$variant" = with-picture ] && opts=(--with-picture)
  dir=$OUT/$variant
  "$CLI" screen export "$OUT/panel.qels" --c "$dir" --prefix panel "${opts[@]}" >/dev/null
  for cc in gcc clang; do
    command -v "$cc" >/dev/null || { echo "$cc: not installed" >&2; continue; }
    for opt in -Os -O2; do
      (cd "$dir" && "$cc" -std=c99 -Wall -Wextra -pedantic -Werror "$opt" -fstack-usage -c panel_screens.c \
        -o "panel_$cc.o")
      read -r text data bss _ < <(size "$dir/panel_$cc.o" | tail -1)
      frame=$(sort -t$'\t' -k2,2n "$dir/panel_$cc.su" | tail -1 | awk -F'\t' '{ n = split($1, a, ":"); print $2 " bytes (" a[n] ")" }')
      printf '%-14s %-6s %-4s %8s %6s %6s  %s\n' "$variant" "$cc" "$opt" "$text" "$data" "$bss" "$frame"
    done
  done
done
