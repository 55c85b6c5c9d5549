#!/usr/bin/env python3
"""Draws the three tool-button images (arrow right, arrow left, check mark)
as 72x72 PNG files with an alpha channel. Only the standard library is used."""
import math, struct, sys, zlib
from pathlib import Path

N = 72

def png(path, pixels):
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", N, N, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    Path(path).write_bytes(data)

def inside_polygon(x, y, poly):
    inside = False
    j = len(poly) - 1
    for i in range(len(poly)):
        xi, yi = poly[i]; xj, yj = poly[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside

def render(test, colour):
    rows = []
    for y in range(N):
        row = []
        for x in range(N):
            # 4x4 supersampling for smooth edges
            hits = sum(test(x + (i + 0.5) / 4, y + (j + 0.5) / 4) for i in range(4) for j in range(4))
            a = int(255 * hits / 16)
            row.append((*colour, a))
        rows.append(row)
    return rows

right = [(8, 26), (40, 26), (40, 10), (66, 36), (40, 62), (40, 46), (8, 46)]
left = [(N - x, y) for x, y in right]

def dist_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))

def check(x, y):
    return min(dist_to_segment(x, y, 12, 38, 29, 56), dist_to_segment(x, y, 29, 56, 62, 16)) <= 6

out = Path(sys.argv[1] if len(sys.argv) > 1 else "src/resources/Images")
out.mkdir(parents=True, exist_ok=True)
png(out / "Right.png", render(lambda x, y: inside_polygon(x, y, right), (30, 110, 200)))
png(out / "Left.png", render(lambda x, y: inside_polygon(x, y, left), (200, 90, 30)))
png(out / "Yes.png", render(check, (20, 150, 40)))
