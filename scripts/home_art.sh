#!/usr/bin/env bash
# Renders the home page's artwork (res/home/art/*.svg) into the images the
# page loads: the four 96 x 96 button images as PNG and the 391 x 108 banners
# (Chinese and English page) as GIF. The results are committed; run this after changing a drawing.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
art="$here/res/home/art"
out="$here/res/home"
for name in connect picture batch font; do
  rsvg-convert -w 96 -h 96 -o "$out/$name.png" "$art/$name.svg"
done
for name in bk bk_en; do
  rsvg-convert -w 391 -h 108 -b white -o "$out/$name.tmp.png" "$art/$name.svg"
  # GIF holds 256 colours; strip dates so unchanged drawings give unchanged files.
  convert "$out/$name.tmp.png" -strip -colors 256 "$out/$name.gif"
  rm -f "$out/$name.tmp.png"
done
for name in connect picture batch font; do
  convert "$out/$name.png" -strip "PNG32:$out/$name.png"
done
