#!/usr/bin/env python3
"""Draws the application icon into app/icons/tessival-N.png at the usual sizes.

The picture: a rounded square in post-office green, a white newspaper with its
masthead and columns of text, and a red round postmark over its lower right corner.
Shapes are given in a 0..1 square and drawn with 4 x 4 supersampling, so every size
is drawn from the geometry, not scaled from another size.

Run from the repository root: python3 scripts/make-icon.py
Only the standard library is used (scripts/drawing.py writes the PNG bytes).
"""
import os

from drawing import disc, png, rect, render, ring, rounded_rect

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
GREEN = (0, 118, 72)
GREEN_DARK = (0, 84, 52)
PAPER = (250, 250, 246)
INK = (70, 70, 70)
MAST = (196, 32, 32)
STAMP = (214, 38, 38)
SS = 4


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


def main():
    out = os.path.join('app', 'icons')
    os.makedirs(out, exist_ok=True)
    for size in SIZES:
        with open(os.path.join(out, 'tessival-%d.png' % size), 'wb') as f:
            f.write(png(size, render(size, shapes(size), SS, unit=size)))


if __name__ == '__main__':
    main()
