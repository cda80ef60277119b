#!/bin/sh
# Draws the program icon (an archive box with a zipper) and writes res/quibex.ico with the
# images each Windows family picks: 16 and 32 pixels in 256 colours for 9x and 2000, and 16, 32
# and 48 pixels with an alpha channel for XP and later. Nothing that no display of today shows:
# no 16-colour images (a 16-colour display reduces the 256-colour ones), and no 48-pixel one in
# 256 colours (9x and 2000 ask for 48 pixels only with large icons turned on, and scale the
# 32-pixel image then).
# Later Windows scale these for the other sizes. Needs ImageMagick and Python 3; the .ico is
# kept in the repo.
set -e
cd "$(dirname "$0")"
tmp=$(mktemp -d)
# The drawing in eight colours: outline, box, lid front, lid back, zipper, teeth, pull.
draw() {
  convert -size 256x256 xc:none $1 \
    -fill "$2" -draw 'roundrectangle 22,58 234,238 18,18' \
    -fill "$3" -draw 'roundrectangle 28,64 228,230 14,14' \
    -fill "$4" -draw 'polygon 28,64 128,22 228,64' \
    -fill "$5" -draw 'polygon 28,64 128,104 228,64 128,22' \
    -fill "$6" -draw 'rectangle 114,64 142,230' \
    -fill "$7" -draw 'rectangle 118,72 126,78 rectangle 130,86 138,92 rectangle 118,100 126,106 rectangle 130,114 138,120 rectangle 118,128 126,134 rectangle 130,142 138,148' \
    -fill "$8" -draw 'roundrectangle 106,150 150,204 8,8' \
    -fill "$6" -draw 'rectangle 120,166 136,190' \
    "$9"
}
draw -antialias '#7a4a1c' '#c98a3d' '#e0a85a' '#a86a2a' '#3b3b3b' '#d8d8d8' '#f2c200' "$tmp/256.png"
for s in 16 32 48; do
  convert "$tmp/256.png" -resize ${s}x${s} "$tmp/$s.png"
  convert "$tmp/$s.png" -depth 8 "rgba:$tmp/$s.rgba"
  convert "$tmp/$s.png" -background black -alpha remove +dither -colors 64 -depth 8 "rgb:$tmp/$s.256"
done
python3 - "$tmp" quibex.ico <<'PY'
import struct, sys
tmp, out = sys.argv[1], sys.argv[2]

def rows(width, height, row_bytes):
    # Bottom-up rows, each padded to 4 bytes.
    pad = (-len(row_bytes(0))) % 4
    return b''.join(row_bytes(y) + b'\0' * pad for y in reversed(range(height)))

def mask(size, rgba):
    def row(y):
        bits = bytearray((size + 7) // 8)
        for x in range(size):
            if rgba[(y * size + x) * 4 + 3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        return bytes(bits)
    return rows(size, size, row)

def header(size, bits, colours):
    return struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)

def palette_image(size, bits, rgba, rgb):
    colours = []
    index = []
    for i in range(size * size):
        c = rgb[i * 3:i * 3 + 3] if rgba[i * 4 + 3] >= 128 else b'\0\0\0'
        if c not in colours:
            colours.append(c)
        index.append(colours.index(c))
    assert len(colours) <= 1 << bits
    def row(y):
        return bytes(index[y * size:(y + 1) * size])
    table = b''.join(bytes((c[2], c[1], c[0], 0)) for c in colours)
    return header(size, bits, len(colours)) + table + rows(size, size, row) + mask(size, rgba)

def alpha_image(size, rgba):
    def row(y):
        out = bytearray()
        for x in range(size):
            r, g, b, a = rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
            out += bytes((b, g, r, a) if a else (0, 0, 0, 0))
        return bytes(out)
    return header(size, 32, 0) + rows(size, size, row) + mask(size, rgba)

images = []
for bits in (8, 32):
    for size in (16, 32, 48):
        rgba = open(f'{tmp}/{size}.rgba', 'rb').read()
        if bits == 32:
            data = alpha_image(size, rgba)
        elif size == 48:
            continue
        else:
            rgb = open(f'{tmp}/{size}.256', 'rb').read()
            data = palette_image(size, bits, rgba, rgb)
        images.append((size, bits, data))

offset = 6 + 16 * len(images)
ico = struct.pack('<HHH', 0, 1, len(images))
for size, bits, data in images:
    ico += struct.pack('<BBBBHHII', size, size, 0, 0, 1, bits, len(data), offset)
    offset += len(data)
ico += b''.join(data for _, _, data in images)
open(out, 'wb').write(ico)
PY
rm -r "$tmp"
