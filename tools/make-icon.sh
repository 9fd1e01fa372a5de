#!/usr/bin/env bash
# Draws the program icon (a bird on a perch) with ImageMagick and writes
# src/win32/resources/tomari.ico with 16, 32 and 48 pixel images.
set -euo pipefail
out=$(cd "$(dirname "$0")/.." && pwd)/src/win32/resources/tomari.ico
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for s in 16 32 48; do
  convert -size 48x48 xc:none \
    -fill '#2f7d6d' -draw 'roundrectangle 1,1,46,46,10,10' \
    -stroke '#8b5a2b' -strokewidth 4 -draw 'line 6,36 42,30' -stroke none \
    -fill '#f4d35e' -draw 'ellipse 24,24 10,8 0,360' \
    -fill '#f4d35e' -draw 'circle 32,17 32,23' \
    -fill '#e07a1f' -draw 'polygon 37,16 43,18 37,20' \
    -fill '#1b1b1b' -draw 'circle 33,16 33,17.5' \
    -fill '#d9b13b' -draw 'polygon 14,22 6,30 18,28' \
    -resize "${s}x${s}" "$tmp/icon$s.png"
done
convert "$tmp/icon16.png" "$tmp/icon32.png" "$tmp/icon48.png" "$out"
