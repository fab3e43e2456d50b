#!/usr/bin/env python3
"""Draws the player's own icons and cursor and writes them as .ico/.cur files.

    tools/make-resource-art.py            writes resources/kerbo.ico,
                                          resources/play.ico,
                                          resources/stop.ico, resources/hand.cur

kerbo.ico, the application icon Explorer shows for the player and every quiz,
is a white question mark on a blue rounded square, drawn at 16, 32 and 48
pixels with 32 bits a pixel (alpha), each pixel sampled 4 x 4 times so the
edges are smooth.

All three are 32 x 32 pixels drawn in two colours (black and white) with a
transparency mask, drawn below as text: '#' black, 'o' white, '.' clear.
The play and stop shapes stay inside the middle 16 x 16 pixels, so that they
are whole on the 20 x 20 play and stop buttons; the hand's hot spot is the tip
of its index finger.

The cursor is stored with one bit a pixel. The two icons use only black and
white too, but are stored with four bits a pixel: Wine places a one-bit icon
off-centre on an icon button (at the button's middle instead of centring it),
which leaves a 20 x 20 button blank; a four-bit icon is centred everywhere.
"""
import os
import struct
import sys

SIZE = 32


def triangle():
    rows = []
    for y in range(SIZE):
        row = ['.'] * SIZE
        if 8 <= y <= 23:
            reach = 8 - abs(y - 15.5) + 0.5  # 1 at the corners, 8 at the point
            for x in range(10, 10 + int(reach * 1.5)):
                row[x] = '#'
        rows.append(''.join(row))
    return rows


def square():
    return [''.join('#' if 10 <= x <= 21 and 10 <= y <= 21 else '.' for x in range(SIZE)) for y in range(SIZE)]


HAND = [
    "      ##",
    "     #oo#",
    "     #oo#",
    "     #oo#",
    "     #oo#",
    "     #oo###",
    "     #oo#oo###",
    "     #oo#oo#oo##",
    "  ## #oo#oo#oo#o#",
    " #oo##oo#oo#oo#oo#",
    " #ooo#ooooooooooo#",
    "  #oo#ooooooooooo#",
    "   #ooooooooooooo#",
    "   #ooooooooooooo#",
    "    #oooooooooooo#",
    "    #ooooooooooo#",
    "     #oooooooooo#",
    "     #oooooooooo#",
    "      #oooooooo#",
    "      #oooooooo#",
    "      ##########",
]
HAND_HOTSPOT = (6, 0)


def padded(rows):
    rows = [r.ljust(SIZE, '.') for r in rows]
    return rows + ['.' * SIZE] * (SIZE - len(rows))


def image(rows, bits):
    """BITMAPINFOHEADER, palette (black, white, then unused black entries),
    colour (XOR) mask with bits per pixel, AND mask; rows bottom-up."""
    colours = 1 << bits
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, 2 * SIZE, 1, bits, 0, 0, 0, 0, colours, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0]) + bytes(4 * (colours - 2))
    colour, mask = b'', b''
    for row in reversed(rows):
        c = m = 0
        for x, pixel in enumerate(row):
            index = 1 if pixel == 'o' else 0
            c |= index << (SIZE * bits - (x + 1) * bits)
            if pixel == '.':
                m |= 1 << (31 - x)
        colour += c.to_bytes(SIZE * bits // 8, 'big')
        mask += struct.pack('>I', m)
    return header + palette + colour + mask


def icon_file(rows, kind, bits, hotspot=(0, 0)):
    """ICONDIR with one entry (kind 1 icon, 2 cursor, whose entry holds the hot spot)."""
    data = image(padded(rows), bits)
    planes_or_x, bits_or_y = (1, bits) if kind == 1 else hotspot
    colours = (1 << bits) % 256
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, colours, 0, planes_or_x, bits_or_y, len(data), 6 + 16)
    return struct.pack('<HHH', 0, kind, 1) + entry + data


# ---- The application icon ----

APP_SIZES = (16, 32, 48)
APP_BLUE_TOP = (70, 120, 255)
APP_BLUE_BOTTOM = (30, 60, 190)


def inside_rounded_square(x, y):
    """x, y in 0..1; a square with a margin of 1/32 and corners of radius 0.2."""
    m, r = 1 / 32, 0.2
    cx = min(max(x, m + r), 1 - m - r)
    cy = min(max(y, m + r), 1 - m - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_question_mark(x, y):
    """The hook (a ring open at its lower left), the stem and the dot."""
    import math
    cx, cy, radius, half = 0.5, 0.36, 0.17, 0.065
    d = math.hypot(x - cx, y - cy)
    angle = math.degrees(math.atan2(cy - y, x - cx))  # y grows downward
    if abs(d - radius) <= half and not (-180 <= angle < -90):
        return True
    if abs(x - cx) <= half and cy + radius - half <= y <= 0.66:
        return True
    return math.hypot(x - cx, y - 0.8) <= 0.075


def app_image(size):
    """BITMAPINFOHEADER, 32-bit BGRA pixels bottom-up, AND mask (set where clear)."""
    samples = 4
    pixels, mask = b'', b''
    row_mask_bytes = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            cover = glyph = 0
            for sy in range(samples):
                for sx in range(samples):
                    u = (x + (sx + 0.5) / samples) / size
                    v = (y + (sy + 0.5) / samples) / size
                    if inside_rounded_square(u, v):
                        cover += 1
                        glyph += inside_question_mark(u, v)
            t = y / max(size - 1, 1)
            blue = [round(a + (b - a) * t) for a, b in zip(APP_BLUE_TOP, APP_BLUE_BOTTOM)]
            g = glyph / cover if cover else 0
            r, gr, b = (round(c + (255 - c) * g) for c in blue)
            alpha = round(255 * cover / (samples * samples))
            pixels += bytes([b, gr, r, alpha]) if alpha else bytes(4)
            if alpha == 0:
                bits |= 1 << (row_mask_bytes * 8 - 1 - x)
        mask += bits.to_bytes(row_mask_bytes, 'big')
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def app_icon_file():
    images = [app_image(s) for s in APP_SIZES]
    offset = 6 + 16 * len(images)
    out = struct.pack('<HHH', 0, 1, len(images))
    for size, data in zip(APP_SIZES, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources')
    files = {
        'kerbo.ico': app_icon_file(),
        'play.ico': icon_file(triangle(), 1, 4),
        'stop.ico': icon_file(square(), 1, 4),
        'hand.cur': icon_file(HAND, 2, 1, HAND_HOTSPOT),
    }
    for name, data in files.items():
        with open(os.path.join(root, name), 'wb') as f:
            f.write(data)
        print(name, len(data), 'bytes')
    return 0


if __name__ == '__main__':
    sys.exit(main())
