#!/usr/bin/env python3
"""Draws the platformer's pictures and writes its Tiled map, all from this
script: the tileset (six 16 x 16 tiles, margin 1, spacing 2), the player and
the coin, and assets/maps/level1.tmx (30 x 22 cells).

    examples/platformer/make_assets.py     (rewrites the files beside it)

The files are committed; run this again only to change them. The map opens
in Tiled like any other, and a map saved from Tiled replaces it."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
TILE = 16


def write_png(path, width, height, pixel):
    """An 8-bit RGBA PNG; pixel(x, y) gives (r, g, b, a), y from the top."""
    rows = b"".join(b"\0" + bytes(c for x in range(width) for c in pixel(x, y))
                    for y in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    data = (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


GRASS, SOIL, STONE, MORTAR = (70, 170, 70, 255), (130, 85, 50, 255), (110, 110, 125, 255), (80, 80, 90, 255)
WATER, FOAM, CLEAR = (50, 110, 200, 255), (140, 190, 240, 255), (0, 0, 0, 0)


def tile_pixel(tile, x, y):
    if tile == 0:  # grass on soil
        return GRASS if y < 4 else SOIL
    if tile == 1:  # soil with a few stones
        return STONE if (x * 7 + y * 3) % 23 == 0 else SOIL
    if tile == 2:  # bricks
        offset = 0 if (y // 8) % 2 == 0 else 8
        return MORTAR if y % 8 == 7 or (x + offset) % 16 == 15 else STONE
    if tile in (3, 4):  # water, two frames: the crest moves
        crest = 2 if tile == 3 else 6
        return FOAM if y == crest and (x // 4) % 2 == (tile - 3) else WATER
    if tile == 5:  # a flower on a clear ground
        if 6 <= y <= 15 and x == 8:
            return GRASS
        if 2 <= y <= 6 and 6 <= x <= 10:
            return (230, 80, 140, 255)
        return CLEAR
    return CLEAR


def tileset_pixel(x, y):
    margin, spacing = 1, 2
    column, cx = divmod(x - margin, TILE + spacing)
    row, cy = divmod(y - margin, TILE + spacing)
    if x < margin or y < margin or cx >= TILE or cy >= TILE or column > 2 or row > 1:
        return (255, 0, 255, 255)  # shows if a UV ever strays into the gaps
    return tile_pixel(row * 3 + column, cx, cy)


def player_pixel(x, y):
    # Textured nodes show a picture's first row at the bottom: the eyes are
    # drawn low so that they look out from the top.
    if 9 <= y <= 12 and x in (4, 7):
        return (30, 30, 30, 255)  # eyes
    return (235, 110, 40, 255)


def coin_pixel(x, y):
    dx, dy = x - 4.5, y - 4.5
    return (250, 210, 40, 255) if dx * dx + dy * dy <= 20 else CLEAR


# The level: '#' brick, 'g' grass, 's' soil, '~' water, '*' flower (decor), 'C' coin, 'P' start.
LEVEL = [
    "                              ",
    "                              ",
    "                              ",
    "                              ",
    "                              ",
    "                              ",
    "                              ",
    "                              ",
    "                  C  C        ",
    "                              ",
    "                 ######       ",
    "                              ",
    "      C  C                    ",
    "                              ",
    "     #####              C  C  ",
    "                              ",
    "                       gggg   ",
    "   *                   ssss   ",
    " P        *                 * ",
    "gggggggggggg~~~~gggggggggggggg",
    "ssssssssssss####ssssssssssssss",
    "ssssssssssss####ssssssssssssss",
]
GID = {"g": 1, "s": 2, "#": 3, "~": 4}


def layer_csv(pick):
    rows = [",".join(str(pick(c)) for c in line) for line in LEVEL]
    return ",\n".join(rows)


def objects():
    out, next_id = [], 1
    for y, line in enumerate(LEVEL):
        for x, c in enumerate(line):
            if c == "C":
                out.append(f'  <object id="{next_id}" name="coin" type="coin" x="{x * TILE + 3}" '
                           f'y="{y * TILE + 3}" width="10" height="10">\n'
                           f'   <properties>\n    <property name="value" type="int" value="10"/>\n'
                           f'   </properties>\n  </object>')
            elif c == "P":
                out.append(f'  <object id="{next_id}" name="start" x="{x * TILE + 8}" '
                           f'y="{(y + 1) * TILE}">\n   <point/>\n  </object>')
            else:
                continue
            next_id += 1
    return "\n".join(out), next_id


def solid_tile(tile_id):
    return (f'  <tile id="{tile_id}">\n   <properties>\n    <property name="solid" type="bool" '
            f'value="true"/>\n   </properties>\n   <objectgroup draworder="index">\n'
            f'    <object id="1" x="0" y="0" width="{TILE}" height="{TILE}"/>\n'
            f'   </objectgroup>\n  </tile>')


def write_map(path):
    things, next_id = objects()
    width, height = len(LEVEL[0]), len(LEVEL)
    text = f'''<?xml version="1.0" encoding="UTF-8"?>
<map version="1.10" tiledversion="1.10.2" orientation="orthogonal" renderorder="right-down" width="{width}" height="{height}" tilewidth="{TILE}" tileheight="{TILE}" infinite="0" nextlayerid="4" nextobjectid="{next_id}">
 <tileset firstgid="1" name="ground" tilewidth="{TILE}" tileheight="{TILE}" spacing="2" margin="1" tilecount="6" columns="3">
  <image source="tiles.png" width="54" height="36"/>
{solid_tile(0)}
{solid_tile(1)}
{solid_tile(2)}
  <tile id="3">
   <animation>
    <frame tileid="3" duration="400"/>
    <frame tileid="4" duration="400"/>
   </animation>
  </tile>
 </tileset>
 <layer id="1" name="decor" width="{width}" height="{height}" opacity="0.9">
  <data encoding="csv">
{layer_csv(lambda c: 6 if c == "*" else 0)}
</data>
 </layer>
 <layer id="2" name="ground" width="{width}" height="{height}">
  <data encoding="csv">
{layer_csv(lambda c: GID.get(c, 0))}
</data>
 </layer>
 <objectgroup id="3" name="things">
{things}
 </objectgroup>
</map>
'''
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)


def main():
    write_png(os.path.join(HERE, "assets/maps/tiles.png"), 54, 36, tileset_pixel)
    write_png(os.path.join(HERE, "assets/textures/player.png"), 12, 16, player_pixel)
    write_png(os.path.join(HERE, "assets/textures/coin.png"), 10, 10, coin_pixel)
    write_map(os.path.join(HERE, "assets/maps/level1.tmx"))


if __name__ == "__main__":
    main()
