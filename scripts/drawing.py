"""Drawing helpers shared by the scripts that draw the program's images.

A picture is a list of layers (shape, colour), bottom first. A shape is a function
(x, y) -> bool; a colour is an (r, g, b) triple or a function (x, y) -> (r, g, b).
render() samples every pixel SS x SS times: the colour is the average of the covered
samples, the coverage the alpha, so edges are smooth and the background transparent.
Only the standard library is used; the PNG bytes are written here.
"""
import math
import struct
import zlib


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def polygon(pts):
    """Even-odd fill of a closed polygon."""
    def inside(x, y):
        result = False
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def _segment_distance(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def stroke(pts, width, closed=False):
    """A pen of the given width drawn along the points, with round ends."""
    segments = list(zip(pts, pts[1:]))
    if closed:
        segments.append((pts[-1], pts[0]))
    half = width / 2.0
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    box = (min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half)

    def inside(x, y):
        if x < box[0] or x > box[2] or y < box[1] or y > box[3]:
            return False
        return any(_segment_distance(x, y, a, b) <= half for a, b in segments)
    return inside


def render(size, layers, ss, unit=1.0):
    """Rows of RGBA bytes of a size x size image. Shapes are given in coordinates
    where one pixel is 1 / unit: unit 1 for pixel coordinates, unit size for 0..1."""
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = covered = 0
            for sy in range(ss):
                for sx in range(ss):
                    x = (px + (sx + 0.5) / ss) / unit
                    y = (py + (sy + 0.5) / ss) / unit
                    colour = None
                    for inside, c in reversed(layers):
                        if inside(x, y):
                            colour = c(x, y) if callable(c) else c
                            break
                    if colour:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        covered += 1
            if covered:
                row += bytes((round(r / covered), round(g / covered), round(b / covered),
                              round(255 * covered / (ss * ss))))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    """The bytes of a size x size RGBA PNG file of the rows."""
    def chunk(tag, data):
        body = tag + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)
    raw = b''.join(b'\0' + r for r in rows)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))
