#!/usr/bin/env python3
"""Draws the application icon into app/icons/tessival-N.png at the usual sizes.

The picture: a rounded square in post-office green, a white newspaper with its
masthead and columns of text, and a red round postmark over its lower right corner.
Shapes are given in a 0..1 square and drawn with 4 x 4 supersampling, so every size
is drawn from the geometry, not scaled from another size.

Run from the repository root: python3 scripts/make-icon.py
Only the standard library is used; the PNG bytes are written here.
"""
import math
import os
import struct
import zlib

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
GREEN = (0, 118, 72)
GREEN_DARK = (0, 84, 52)
PAPER = (250, 250, 246)
INK = (70, 70, 70)
MAST = (196, 32, 32)
STAMP = (214, 38, 38)
SS = 4


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def disc(cx, cy, r):
    return ring(cx, cy, r, 0.0)


def shapes(size):
    """Layers, bottom first. Small sizes drop the fine text lines."""
    layers = [
        (rounded_rect(0.02, 0.02, 0.98, 0.98, 0.18), GREEN_DARK),
        (rounded_rect(0.05, 0.04, 0.95, 0.94, 0.16), GREEN),
        (rect(0.20, 0.16, 0.80, 0.84), PAPER),
        (rect(0.26, 0.22, 0.74, 0.32), MAST),
    ]
    lines = 3 if size < 32 else 6
    top, bottom = 0.40, 0.76
    step = (bottom - top) / lines
    thick = step * (0.5 if size >= 32 else 0.6)
    for i in range(lines):
        y = top + i * step
        layers.append((rect(0.26, y, 0.48, y + thick), INK))
        layers.append((rect(0.52, y, 0.74, y + thick), INK))
    layers.append((disc(0.74, 0.74, 0.19), PAPER))
    layers.append((ring(0.74, 0.74, 0.17, 0.11 if size >= 24 else 0.0), STAMP))
    if size >= 24:
        layers.append((disc(0.74, 0.74, 0.05), STAMP))
    return layers


def render(size):
    layers = shapes(size)
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SS):
                for sx in range(SS):
                    x = (px + (sx + 0.5) / SS) / size
                    y = (py + (sy + 0.5) / SS) / size
                    colour = None
                    for inside, c in layers:
                        if inside(x, y):
                            colour = c
                    if colour:
                        r += colour[0]; g += colour[1]; b += colour[2]; a += 255
            n = SS * SS
            alpha = a / n
            if alpha > 0:
                k = 255.0 / a  # average colour of the covered samples
                row += bytes((round(r * k), round(g * k), round(b * k), round(alpha)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(tag, data):
        body = tag + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)
    raw = b''.join(b'\0' + r for r in rows)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def main():
    out = os.path.join('app', 'icons')
    os.makedirs(out, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(out, 'tessival-%d.png' % size), 'wb') as f:
            f.write(png(size, render(size)))


if __name__ == '__main__':
    main()
