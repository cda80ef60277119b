#!/bin/sh
# Draws the program icon (an archive box with a zipper) and writes res/quibex.ico with
# 16, 24, 32, 48 and 256 pixel images. Needs ImageMagick; the .ico is kept in the repo.
set -e
cd "$(dirname "$0")"
tmp=$(mktemp -d)
convert -size 256x256 xc:none \
  -fill '#7a4a1c' -draw 'roundrectangle 22,58 234,238 18,18' \
  -fill '#c98a3d' -draw 'roundrectangle 28,64 228,230 14,14' \
  -fill '#e0a85a' -draw 'polygon 28,64 128,22 228,64' \
  -fill '#a86a2a' -draw 'polygon 28,64 128,104 228,64 128,22' \
  -fill '#3b3b3b' -draw 'rectangle 114,64 142,230' \
  -fill '#d8d8d8' -draw 'rectangle 118,72 126,78 rectangle 130,86 138,92 rectangle 118,100 126,106 rectangle 130,114 138,120 rectangle 118,128 126,134 rectangle 130,142 138,148' \
  -fill '#f2c200' -draw 'roundrectangle 106,150 150,204 8,8' \
  -fill '#3b3b3b' -draw 'rectangle 120,166 136,190' \
  "$tmp/256.png"
for s in 16 24 32 48; do convert "$tmp/256.png" -resize ${s}x${s} "$tmp/$s.png"; done
convert "$tmp/16.png" "$tmp/24.png" "$tmp/32.png" "$tmp/48.png" "$tmp/256.png" quibex.ico
rm -r "$tmp"
