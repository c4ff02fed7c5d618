#!/usr/bin/env python3
"""Draws the pictures of docs/ with the real executable, so they show what
Tarnwick really does and cannot drift from it.

Every scene in scenes/ beside this file is run as a game's main.lua, in a
folder holding the starter picture (made by `tarnwick --new`, as a texture and
as a sprite), a small non-square texture and the cube of examples/lit3d, for
3 frames (or N, when its first line reads "-- frames: N"); the starter game
and the example games under examples/ are run in their own folders. Each
run's screenshot is docs/pictures/NAME.png.

  make.py --tarnwick PATH --write   redraws the pictures
  make.py --tarnwick PATH --check   exits 1 naming every picture that differs

Run it with a display, or under xvfb-run, with SDL_AUDIODRIVER=dummy.
"""
import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
PICTURES = os.path.join(SOURCE, "docs", "pictures")
# Examples drawn into the docs, and the frames each runs before its picture.
EXAMPLES = {"demo": 120, "arcade": 90, "postprocess": 30, "lit3d": 30}
SCENE_FRAMES = 3
# Pictures may differ this much per channel (driver rounding), in this share
# of their pixels at most.
TOLERANCE = 12
STRAY_SHARE = 0.002


def write_png(path, width, height, pixels):
    rows = b"".join(b"\0" + bytes(pixels[y * width * 4:(y + 1) * width * 4])
                    for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(rows, 9)))
        out.write(chunk(b"IEND", b""))


def read_png(path):
    """(width, height, RGBA bytes) of an 8-bit RGBA PNG without interlacing."""
    with open(path, "rb") as source:
        data = source.read()
    position, width, height, packed = 8, 0, 0, b""
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b"IHDR":
            width, height = struct.unpack(">II", body[:8])
        elif kind == b"IDAT":
            packed += body
        position += 12 + length
    raw = zlib.decompress(packed)
    stride = width * 4
    pixels = bytearray(stride * height)
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - 4] if x >= 4 else 0
            up = previous[x]
            corner = previous[x - 4] if x >= 4 else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                estimate = left + up - corner
                pa, pb, pc = abs(estimate - left), abs(estimate - up), abs(estimate - corner)
                best = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[x] = (line[x] + best) & 255
        pixels[y * stride:(y + 1) * stride] = line
        previous = line
    return width, height, bytes(pixels)


def strip_texture(path):
    """A 96 × 48 picture: a sky-to-grass gradient with a red square in its
    top-left corner, so padding and orientation both show."""
    width, height = 96, 48
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            if x < 16 and y < 16:
                pixels += bytes((220, 40, 40, 255))
            elif y < height // 2:
                pixels += bytes((90, 160, 230, 255))
            else:
                pixels += bytes((70, 170, 60, 255))
    write_png(path, width, height, pixels)


def run(tarnwick, game, frames, shot):
    result = subprocess.run([tarnwick, "--windowed", "--frames", str(frames), "--fixed-dt", "16",
                             "--screenshot", shot, game], capture_output=True, text=True)
    if result.returncode != 0 or not os.path.exists(shot):
        sys.exit("%s failed (%d):\n%s%s" % (game, result.returncode, result.stdout[-2000:],
                                            result.stderr))


def scene_folder(tarnwick, scratch):
    """The shared assets of the scenes, made once."""
    base = os.path.join(scratch, "assets-base")
    subprocess.run([tarnwick, "--new", base], check=True, capture_output=True)
    os.remove(os.path.join(base, "main.lua"))
    sprites = os.path.join(base, "assets", "sprites")
    os.makedirs(sprites)
    shutil.copy(os.path.join(base, "assets", "textures", "badge.png"), sprites)
    strip_texture(os.path.join(base, "assets", "textures", "strip.png"))
    models = os.path.join(base, "assets", "models")
    os.makedirs(models)
    shutil.copy(os.path.join(SOURCE, "examples", "lit3d", "assets", "models", "crate.obj"),
                os.path.join(models, "cube.obj"))
    return base


def draw_all(tarnwick, scratch):
    """Every picture into scratch/out; returns their names."""
    out = os.path.join(scratch, "out")
    os.makedirs(out)
    names = []
    base = scene_folder(tarnwick, scratch)
    starter = os.path.join(scratch, "starter")
    subprocess.run([tarnwick, "--new", starter], check=True, capture_output=True)
    run(tarnwick, starter, SCENE_FRAMES, os.path.join(out, "starter.png"))
    names.append("starter.png")
    scenes = os.path.join(HERE, "scenes")
    for file in sorted(os.listdir(scenes)):
        if not file.endswith(".lua"):
            continue
        name = file[:-4]
        game = os.path.join(scratch, name)
        shutil.copytree(base, game)
        shutil.copy(os.path.join(scenes, file), os.path.join(game, "main.lua"))
        frames = SCENE_FRAMES
        with open(os.path.join(scenes, file)) as text:
            first = text.readline()
        if first.startswith("-- frames:"):
            frames = int(first.split(":")[1])
        run(tarnwick, game, frames, os.path.join(out, name + ".png"))
        names.append(name + ".png")
    for example, frames in sorted(EXAMPLES.items()):
        folder = os.path.join(SOURCE, "examples", example)
        if os.path.isdir(folder):
            run(tarnwick, folder, frames, os.path.join(out, "example-" + example + ".png"))
            names.append("example-" + example + ".png")
    return out, names


def differs(a_path, b_path):
    a, b = read_png(a_path), read_png(b_path)
    if a[:2] != b[:2]:
        return "size %dx%d, expected %dx%d" % (b[0], b[1], a[0], a[1])
    stray = sum(1 for i in range(0, len(a[2]), 4)
                if max(abs(a[2][i + c] - b[2][i + c]) for c in range(4)) > TOLERANCE)
    if stray > STRAY_SHARE * a[0] * a[1]:
        return "%d pixels differ" % stray
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--write", action="store_true")
    mode.add_argument("--check", action="store_true")
    parser.add_argument("--tarnwick", required=True)
    options = parser.parse_args()
    tarnwick = os.path.abspath(options.tarnwick)
    with tempfile.TemporaryDirectory() as scratch:
        out, names = draw_all(tarnwick, scratch)
        if options.write:
            os.makedirs(PICTURES, exist_ok=True)
            for name in names:
                shutil.copy(os.path.join(out, name), os.path.join(PICTURES, name))
            print("drew %d pictures into docs/pictures" % len(names))
            return 0
        problems = []
        for name in names:
            committed = os.path.join(PICTURES, name)
            if not os.path.exists(committed):
                problems.append("%s: missing" % name)
                continue
            why = differs(committed, os.path.join(out, name))
            if why:
                problems.append("%s: %s" % (name, why))
        for problem in problems:
            print("docs/pictures/" + problem)
        if problems:
            print("Redraw with: tools/pictures/make.py --tarnwick BUILD/tarnwick --write "
                  "(under xvfb-run)")
            return 1
        print("%d pictures match" % len(names))
        return 0


if __name__ == "__main__":
    sys.exit(main())
