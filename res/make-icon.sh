#!/bin/sh
# Draws the program icon (an archive box with a zipper) and writes res/quibex.ico with the
# images each Windows family picks: 16, 32 and 48 pixels in 16 colours (the VGA palette) and
# in 256 colours for 9x and 2000, the same sizes with an alpha channel for XP and later.
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
# For 16 colours the brown box becomes the olive and yellow of the VGA palette, drawn
# without blending so that every pixel keeps one of them.
draw +antialias '#000000' '#808000' '#ffff00' '#ffff00' '#000000' '#ffffff' '#ffff00' "$tmp/vga256.png"
# The 16 colours of a VGA screen, so that a 16-colour display shows them as drawn.
convert -size 16x1 xc:black \
  -fill '#800000' -draw 'point 1,0' -fill '#008000' -draw 'point 2,0' -fill '#808000' -draw 'point 3,0' \
  -fill '#000080' -draw 'point 4,0' -fill '#800080' -draw 'point 5,0' -fill '#008080' -draw 'point 6,0' \
  -fill '#c0c0c0' -draw 'point 7,0' -fill '#808080' -draw 'point 8,0' -fill '#ff0000' -draw 'point 9,0' \
  -fill '#00ff00' -draw 'point 10,0' -fill '#ffff00' -draw 'point 11,0' -fill '#0000ff' -draw 'point 12,0' \
  -fill '#ff00ff' -draw 'point 13,0' -fill '#00ffff' -draw 'point 14,0' -fill '#ffffff' -draw 'point 15,0' \
  "$tmp/vga.png"
for s in 16 32 48; do
  convert "$tmp/256.png" -resize ${s}x${s} "$tmp/$s.png"
  convert "$tmp/$s.png" -depth 8 "rgba:$tmp/$s.rgba"
  # Opaque where at least half covered; the palette images have no partial transparency.
  convert "$tmp/vga256.png" -filter box -resize ${s}x${s} -background black -alpha remove +dither \
    -remap "$tmp/vga.png" -depth 8 "rgb:$tmp/$s.vga"
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
    if bits == 4:
        colours += [b'\0\0\0'] * (16 - len(colours))
    def row(y):
        line = index[y * size:(y + 1) * size]
        if bits == 8:
            return bytes(line)
        return bytes((line[x] << 4) | line[x + 1] for x in range(0, size, 2))
    table = b''.join(bytes((c[2], c[1], c[0], 0)) for c in colours)
    count = 0 if bits == 4 else len(colours)
    return header(size, bits, count) + table + rows(size, size, row) + mask(size, rgba)

def alpha_image(size, rgba):
    def row(y):
        out = bytearray()
        for x in range(size):
            r, g, b, a = rgba[(y * size + x) * 4:(y * size + x) * 4 + 4]
            out += bytes((b, g, r, a) if a else (0, 0, 0, 0))
        return bytes(out)
    return header(size, 32, 0) + rows(size, size, row) + mask(size, rgba)

images = []
for bits in (4, 8, 32):
    for size in (16, 32, 48):
        rgba = open(f'{tmp}/{size}.rgba', 'rb').read()
        if bits == 32:
            data = alpha_image(size, rgba)
        else:
            rgb = open(f'{tmp}/{size}.' + ('vga' if bits == 4 else '256'), 'rb').read()
            data = palette_image(size, bits, rgba, rgb)
        images.append((size, bits, data))

offset = 6 + 16 * len(images)
ico = struct.pack('<HHH', 0, 1, len(images))
for size, bits, data in images:
    ico += struct.pack('<BBBBHHII', size, size, 16 if bits == 4 else 0, 0, 1, bits, len(data), offset)
    offset += len(data)
ico += b''.join(data for _, _, data in images)
open(out, 'wb').write(ico)
PY
rm -r "$tmp"
