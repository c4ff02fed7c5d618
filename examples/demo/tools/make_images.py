#!/usr/bin/env python3
"""Draws the demo's pictures (8-bit RGBA PNG files) and the source of its gem
model (OBJ text, beside this script; make_models.sh turns it into the demo's
animated assets/models/gem.mod).

Run from anywhere: python3 examples/demo/tools/make_images.py
"""
import math
import os
import struct
import zlib

ASSETS = os.path.join(os.path.dirname(__file__), "..", "assets")
OUT = os.path.join(ASSETS, "textures")
SPRITES = os.path.join(ASSETS, "sprites")


def write_png(path, width, height, pixel):
    rows = b""
    for y in range(height):
        row = bytearray([0])
        for x in range(width):
            row += bytes(max(0, min(255, int(c))) for c in pixel(x, y))
        rows += bytes(row)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(rows, 9)))
        out.write(chunk(b"IEND", b""))


def disc(size, inner, outer, glow=0.0):
    """A soft-edged disc shading from `inner` at the centre to `outer` at the rim."""
    def pixel(x, y):
        c = (size - 1) / 2
        d = math.hypot(x - c, y - c) / (size / 2)
        t = min(1.0, d)
        colour = [inner[i] + (outer[i] - inner[i]) * t for i in range(3)]
        alpha = 255 if d < 0.92 else max(0.0, (1.0 - d) / 0.08) * 255
        if glow and d >= 0.92:
            alpha = max(alpha, max(0.0, 1.0 - d) * glow)
        return colour + [alpha]
    return pixel


def banner(x, y):
    stripe = (x // 8 + y // 8) % 2
    edge = x < 2 or y < 2 or x > 125 or y > 29
    if edge:
        return [250, 250, 250, 255]
    return [40, 160, 120, 255] if stripe else [30, 120, 90, 255]


os.makedirs(OUT, exist_ok=True)
write_png(os.path.join(OUT, "sun.png"), 64, 64, disc(64, [255, 250, 200], [255, 150, 30]))
write_png(os.path.join(OUT, "planet.png"), 32, 32, disc(32, [120, 200, 255], [20, 70, 170]))
write_png(os.path.join(OUT, "moon.png"), 16, 16, disc(16, [235, 235, 235], [130, 130, 140]))
write_png(os.path.join(OUT, "banner.png"), 128, 32, banner)

os.makedirs(SPRITES, exist_ok=True)
write_png(os.path.join(SPRITES, "spark.png"), 12, 12, disc(12, [255, 255, 220], [255, 120, 20]))


def write_octahedron(path, radius):
    """A closed octahedron with one normal per face, as Wavefront OBJ text."""
    corners = [(radius, 0, 0), (-radius, 0, 0), (0, radius, 0),
               (0, -radius, 0), (0, 0, radius), (0, 0, -radius)]
    faces = []
    for sx in (0, 1):
        for sy in (2, 3):
            for sz in (4, 5):
                a, b, c = corners[sx], corners[sy], corners[sz]
                # Counter-clockwise seen from outside.
                sign = (1 if sx == 0 else -1) * (1 if sy == 2 else -1) * (1 if sz == 4 else -1)
                faces.append((sx, sy, sz) if sign > 0 else (sx, sz, sy))
    lines = ["# Octahedron drawn for the Tarnwick demo"]
    lines += ["v %g %g %g" % c for c in corners]
    lines += ["vt 0 0"]
    for i, (a, b, c) in enumerate(faces):
        n = [sum(corners[k][j] for k in (a, b, c)) for j in range(3)]
        length = math.sqrt(sum(x * x for x in n))
        lines.append("vn %g %g %g" % tuple(x / length for x in n))
    for i, (a, b, c) in enumerate(faces):
        lines.append("f %d/1/%d %d/1/%d %d/1/%d" % (a + 1, i + 1, b + 1, i + 1, c + 1, i + 1))
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")


write_octahedron(os.path.join(os.path.dirname(__file__), "gem.obj"), 1.0)
