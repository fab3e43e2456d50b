#!/usr/bin/env python3
"""Draws the player's own icons and cursor and writes them as .ico/.cur files.

    tools/make-resource-art.py            writes resources/play.ico,
                                          resources/stop.ico, resources/hand.cur

All three are 32 x 32 pixels with two colours (black and white) and a
transparency mask, drawn below as text: '#' black, 'o' white, '.' clear.
The play and stop shapes stay inside the middle 16 x 16 pixels, so that they
are whole on the 20 x 20 play and stop buttons; the hand's hot spot is the tip
of its index finger.
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


def image(rows):
    """BITMAPINFOHEADER, two-entry palette, colour (XOR) mask, AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, 2 * SIZE, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    colour, mask = b'', b''
    for row in reversed(rows):  # bottom-up
        c = m = 0
        for x, pixel in enumerate(row):
            bit = 1 << (31 - x)
            if pixel == 'o':
                c |= bit
            if pixel == '.':
                m |= bit
        colour += struct.pack('>I', c)
        mask += struct.pack('>I', m)
    return header + palette + colour + mask


def icon_file(rows, kind, hotspot=(0, 0)):
    """ICONDIR with one entry (kind 1 icon, 2 cursor, whose entry holds the hot spot)."""
    data = image(padded(rows))
    planes_or_x, bits_or_y = (1, 1) if kind == 1 else hotspot
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 2, 0, planes_or_x, bits_or_y, len(data), 6 + 16)
    return struct.pack('<HHH', 0, kind, 1) + entry + data


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources')
    files = {
        'play.ico': icon_file(triangle(), 1),
        'stop.ico': icon_file(square(), 1),
        'hand.cur': icon_file(HAND, 2, HAND_HOTSPOT),
    }
    for name, data in files.items():
        with open(os.path.join(root, name), 'wb') as f:
            f.write(data)
        print(name, len(data), 'bytes')
    return 0


if __name__ == '__main__':
    sys.exit(main())
