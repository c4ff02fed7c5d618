#!/usr/bin/env python3
"""Writes the fuzzers' seed corpora and the regression inputs, all made here
from scratch: small PNG, OBJ, .mod and TrueType files and packer inputs.

    tests/fuzz/make_inputs.py      (rewrites corpus/ and regressions/ beside it)

The files are committed; run this again only to change them."""
import os
import json
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(folder, name, data):
    path = os.path.join(HERE, folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# PNG ------------------------------------------------------------------------

def chunk(kind, body):
    return (struct.pack(">I", len(body)) + kind + body +
            struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))


def png(width, height, rows=None, color_type=6, depth=8, interlace=0, extra=b""):
    """A PNG whose IDAT holds `rows` (filter byte included), or zeros."""
    header = struct.pack(">IIBBBBB", width, height, depth, color_type, 0, 0, interlace)
    if rows is None:
        channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[color_type]
        rows = b"".join(b"\0" + bytes(width * channels * depth // 8) for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def rgba_rows(width, height):
    rows = b""
    for y in range(height):
        rows += bytes([y % 5])  # every filter type once in a while
        rows += bytes((x * 37 + y * 11 + c * 5) & 0xFF for x in range(width) for c in range(4))
    return rows


def png_inputs():
    write("corpus/png", "rgba-1x1.png", png(1, 1, b"\0\xff\x80\x40\xff"))
    write("corpus/png", "rgba-7x5-filters.png", png(7, 5, rgba_rows(7, 5)))
    write("corpus/png", "rgba-4x4-interlaced.png", png(4, 4, interlace=1,
                                                       rows=bytes(71)))  # the 7 passes of 4 x 4
    write("corpus/png", "rgba-3x2-text.png",
          png(3, 2, rgba_rows(3, 2), extra=chunk(b"tEXt", b"Title\0tarnwick")))
    write("corpus/png", "grey-2x2.png", png(2, 2, color_type=0))
    write("corpus/png", "palette-2x1.png",
          png(2, 1, b"\0\x00", color_type=3, extra=chunk(b"PLTE", b"\0\0\0\xff\xff\xff")))
    write("corpus/png", "rgba16-1x1.png", png(1, 1, color_type=6, depth=16))
    # Valid, but wider than a texture may be: refused on its header.
    write("regressions/png", "wide-16385x1.png", png(16385, 1))
    # A header claiming 262144 x 262144 with no pixel data behind it.
    huge = struct.pack(">IIBBBBB", 262144, 262144, 8, 6, 0, 0, 0)
    write("regressions/png", "huge-header.png",
          b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", huge) + chunk(b"IEND", b""))
    # Within the side limit, but its square texture sheet would take 1 GiB.
    write("regressions/png", "long-16384x1.png", png(16384, 1))


# OBJ ------------------------------------------------------------------------

def obj_inputs():
    write("corpus/obj", "triangle.obj", b"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n")
    write("corpus/obj", "quad-uv-normal.obj",
          b"# a quad\no quad\nv -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
          b"vt 0 0\nvt 1 0\nvt 1 1 0\nvt 0 1\nvn 0 0 1\n"
          b"f 1/1/1 2/2/1 3/3/1 4/4/1\n")
    write("corpus/obj", "forms.obj",
          b"v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 1\nvt 0.5 0.5\nvn 0 1 0\n"
          b"f 1/1 2/1 3/1\nf 1//1 2//1 4//1\nf 2 3 4\ns off\ng side\nusemtl none\n")
    write("corpus/obj", "pentagon-fan.obj",
          b"v 0 0 0\nv 2 0 0\nv 3 1 0\nv 1 3 0\nv -1 1 0\nvt 0 0\nvn 0 0 1\n"
          b"f 1/1/1 2/1/1 3/1/1 4/1/1 5/1/1\nf 5 4 3 2 1 5 4 3\n")
    write("corpus/obj", "bad-indices.obj",
          b"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\nf 0 1 2\nf -1 -2 -3\nf 99999999999 1 2\n"
          b"f 1/5 2/1 3/1\nvt 1e40 -1e40\nv nan inf -inf\n")


# .mod -----------------------------------------------------------------------

def u32(*values):
    return struct.pack("<%dI" % len(values), *values)


def f32(*values):
    return struct.pack("<%df" % len(values), *values)


def key_frame(frame, translation=(0, 0, 0), scale=(1, 1, 1), rotation=(0, 0, 0, 1)):
    return u32(frame) + f32(*translation) + f32(*scale) + f32(*rotation) + u32(1) + bytes(4)


def mesh(vertices, indices, color=(1, 1, 1, 1)):
    floats = [v for vertex in vertices for v in vertex]
    return u32(len(floats)) + f32(*floats) + u32(len(indices)) + u32(*indices) + f32(*color)


def mod_inputs():
    triangle = mesh([(0, 0, 0, 0, 0, 1, 0, 0), (1, 0, 0, 0, 0, 1, 1, 0),
                     (0, 1, 0, 0, 0, 1, 0, 1)], [0, 1, 2])
    write("corpus/mod", "empty.mod", u32(0, 0, 0))
    write("corpus/mod", "triangle.mod", u32(1) + triangle + u32(0, 0))
    curves = (u32(3) +
              u32(0, 2) + key_frame(0) + key_frame(24, translation=(5, 0, 0)) +
              u32(1, 2) + key_frame(0) + key_frame(12, rotation=(0, 0, 0.7071, 0.7071)) +
              u32(2, 1) + key_frame(6, scale=(2, 2, 2)))
    child = u32(1) + triangle + u32(1) + u32(0, 1) + key_frame(3, translation=(0, 1, 0)) + u32(0)
    write("corpus/mod", "animated-with-child.mod", u32(1) + triangle + curves + u32(1) + child)
    write("corpus/mod", "bad-index.mod", u32(1) + mesh([(0,) * 8], [0, 7, 0]) + u32(0, 0))
    # Counts far beyond the data that follows them.
    write("corpus/mod", "huge-counts.mod", u32(0xFFFFFFFF, 0xFFFFFFFF))


# TrueType -------------------------------------------------------------------

def table_checksum(data):
    data += bytes(-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def truetype(units_per_em, side, characters, glyph_bytes=None):
    """A TrueType font whose glyph 1, a filled side x side square, stands for
    every one of `characters`; glyph 0 is empty. `glyph_bytes` cuts glyph 1's
    data short."""
    count = 2
    square = (struct.pack(">hhhhh", 1, 0, 0, side, side) + struct.pack(">H", 3) +
              struct.pack(">H", 0) + bytes([1, 1, 1, 1]) +
              struct.pack(">hhhh", 0, 0, side, 0) + struct.pack(">hhhh", 0, side, 0, -side))
    square = square[:glyph_bytes]
    square += bytes(-len(square) % 2)
    tables = {
        b"head": struct.pack(">IIIIHHqqhhhhHHhhh", 0x10000, 0x10000, 0, 0x5F0F3CF5, 3,
                             units_per_em, 0, 0, 0, 0, side, side, 0, 8, 2, 0, 0),
        b"hhea": struct.pack(">IhhhHhhhhhhhhhhhH", 0x10000, side, 0, 0, side, 0, 0, side,
                             1, 0, 0, 0, 0, 0, 0, 0, count),
        b"maxp": struct.pack(">IHHHHHHHHHHHHHH", 0x10000, count, 4, 1, 0, 0, 2, 0, 0, 0, 0,
                             0, 0, 0, 0),
        b"hmtx": struct.pack(">HhHh", units_per_em // 2, 0, side, 0),
        b"loca": struct.pack(">HHH", 0, 0, len(square) // 2),
        b"glyf": square,
    }
    codes = sorted(ord(c) for c in characters)
    first, last = codes[0], codes[-1]
    ids = [1 if code in codes else 0 for code in range(first, last + 1)]
    subtable = struct.pack(">HHHHH", 6, 10 + 2 * len(ids), 0, first, len(ids))
    subtable += struct.pack(">%dH" % len(ids), *ids)
    tables[b"cmap"] = struct.pack(">HHHHI", 0, 1, 3, 1, 12) + subtable

    tags = sorted(tables)
    offset = 12 + 16 * len(tags)
    directory, body = b"", b""
    for tag in tags:
        data = tables[tag]
        directory += tag + struct.pack(">III", table_checksum(data), offset + len(body), len(data))
        body += data + bytes(-len(data) % 4)
    selector = len(tags).bit_length() - 1
    search = 16 << selector
    header = struct.pack(">IHHHH", 0x10000, len(tags), search, selector, 16 * len(tags) - search)
    return header + directory + body


ALPHANUMERIC = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"


def font_inputs():
    write("corpus/font", "squares.ttf", truetype(1000, 600, ALPHANUMERIC))
    write("corpus/font", "few.ttf", truetype(2048, 1400, "aZ0!"))
    # Glyph 1 ends after its instruction length: no point can be read.
    write("corpus/font", "cut-glyph.ttf", truetype(1000, 600, "ab", glyph_bytes=14))
    # Units-per-em 16 and every glyph 680 units: 2040 pixels a side at size 48.
    write("regressions/font", "huge-glyphs.ttf", truetype(16, 680, ALPHANUMERIC))


# Packer ---------------------------------------------------------------------

def sheet_inputs():
    """Packer inputs are pairs of big-endian 16-bit numbers: width, height."""
    def sizes(*pairs):
        return b"".join(struct.pack(">HH", w, h) for w, h in pairs)
    write("corpus/sheet", "column.bin", sizes((100, 100), (50, 50), (50, 50)))
    write("corpus/sheet", "twenty-one.bin", sizes(*[(100, 100)] * 21))
    write("corpus/sheet", "edges.bin", sizes((2046, 2046), (2047, 1), (0, 0), (0, 5), (1, 1)))
    write("corpus/sheet", "mixed.bin", sizes(*[(7 * i % 300 + 1, 13 * i % 200 + 1)
                                               for i in range(60)]))


# Tile maps -------------------------------------------------------------------

def tmx(data, tilesets=None, extra=""):
    tilesets = tilesets or (
        '<tileset firstgid="1" name="t" tilewidth="8" tileheight="8" tilecount="4" columns="2">'
        '<image source="t.png" width="16" height="16"/>'
        '<tile id="1" type="spike"><properties><property name="hurt" type="int" value="2"/>'
        '</properties><objectgroup><object id="1" x="0" y="4" width="8" height="4"/></objectgroup>'
        '<animation><frame tileid="1" duration="100"/><frame tileid="2" duration="100"/></animation>'
        '</tile></tileset>')
    return ('<?xml version="1.0"?><map orientation="orthogonal" width="2" height="2" '
            'tilewidth="8" tileheight="8" infinite="0">' + tilesets +
            '<layer id="1" name="l" width="2" height="2">' + data + '</layer>' + extra +
            '</map>').encode()


def map_inputs():
    gids = struct.pack("<4I", 1, 0x80000002, 0x60000003, 0)
    b64 = lambda raw: __import__("base64").b64encode(raw).decode()
    gzip = zlib.compressobj(9, zlib.DEFLATED, 16 + zlib.MAX_WBITS)
    gzipped = gzip.compress(gids) + gzip.flush()
    write("corpus/map", "csv.tmx", tmx('<data encoding="csv">1,2147483650,1610612739,0</data>'))
    write("corpus/map", "zlib.tmx",
          tmx('<data encoding="base64" compression="zlib">' + b64(zlib.compress(gids)) + '</data>'))
    write("corpus/map", "gzip.tmx",
          tmx('<data encoding="base64" compression="gzip">' + b64(gzipped) + '</data>'))
    write("corpus/map", "external.tmx", tmx('<data encoding="base64">' + b64(gids) + '</data>',
                                            '<tileset firstgid="1" source="fuzz.tsx"/>'))
    write("corpus/map", "objects.tmx", tmx(
        '<data><tile gid="1"/><tile/><tile gid="2"/><tile/></data>', extra=
        '<group offsetx="3" opacity="0.5"><objectgroup name="o" tintcolor="#80ff0000">'
        '<object id="1" name="a" x="1" y="2" width="3" height="4" rotation="45"/>'
        '<object id="2" x="1" y="1"><polygon points="0,0 4,0 4,4"/></object>'
        '<object id="3" x="1" y="1"><polyline points="0,0 4,4"/></object>'
        '<object id="4" x="1" y="1"><ellipse/></object><object id="5"><point/></object>'
        '<object id="6" gid="2147483649" x="0" y="8" width="8" height="8"/>'
        '<object id="7"><text>hi</text></object></objectgroup></group>'))
    write("corpus/map", "map.tmj", json.dumps({
        "orientation": "orthogonal", "width": 2, "height": 2, "tilewidth": 8, "tileheight": 8,
        "infinite": False, "properties": [{"name": "p", "type": "class", "value": {"n": 1}}],
        "tilesets": [{"firstgid": 1, "name": "t", "tilewidth": 8, "tileheight": 8, "tilecount": 4,
                      "columns": 2, "image": "t.png", "imagewidth": 16, "imageheight": 16,
                      "tiles": [{"id": 1, "animation": [{"tileid": 2, "duration": 50}]}]},
                     {"firstgid": 5, "source": "fuzz.tsj"}],
        "layers": [{"type": "tilelayer", "name": "l", "width": 2, "height": 2,
                    "data": [1, 2147483650, 5, 0]},
                   {"type": "tilelayer", "name": "z", "width": 2, "height": 2,
                    "encoding": "base64", "compression": "gzip", "data": b64(gzipped)},
                   {"type": "objectgroup", "name": "o", "objects": [
                       {"id": 1, "x": 1, "y": 2, "polygon": [{"x": 0, "y": 0}, {"x": 3, "y": 1}]},
                       {"id": 2, "gid": 1, "x": 0, "y": 8}]}]}).encode())


if __name__ == "__main__":
    png_inputs()
    obj_inputs()
    mod_inputs()
    font_inputs()
    sheet_inputs()
    map_inputs()
