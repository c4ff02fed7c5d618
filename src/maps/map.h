// The records of a Tiled map as loaded: map, tilesets, layers, objects and
// custom properties, in Tiled's own units (pixels, y down from the map's
// top-left corner). Conversion to a node's units happens where the map is
// drawn or handed to a script (maps/units.h).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace maps {

// The flip bits of a global tile id; the rest is the id itself.
const uint32_t FLIP_X = 0x80000000u;
const uint32_t FLIP_Y = 0x40000000u;
const uint32_t FLIP_DIAGONAL = 0x20000000u;
const uint32_t ROTATED_HEX = 0x10000000u;  // hexagonal maps only; cleared
const uint32_t FLIP_BITS = FLIP_X | FLIP_Y | FLIP_DIAGONAL | ROTATED_HEX;

// A custom property. `type` is Tiled's: string, int, float, bool, color, file,
// object or class; numbers and booleans live in `number` (1/0), the others in
// `text`; a class keeps its members in `members`.
struct Property {
  std::string name;
  std::string type = "string";
  std::string text;
  double number = 0;
  std::vector<Property> members;
};
using Properties = std::vector<Property>;

struct Point {
  double x = 0;
  double y = 0;
};

// An object of an object layer, or a collision shape of a tile.
struct Object {
  enum Shape { RECTANGLE, ELLIPSE, POINT, POLYGON, POLYLINE, TEXT, TILE };
  int id = 0;
  std::string name;
  std::string type;  // "type" before Tiled 1.9, "class" since
  Shape shape = RECTANGLE;
  double x = 0, y = 0;  // top-left corner; a tile object's bottom-left
  double width = 0, height = 0;
  double rotation = 0;  // degrees, clockwise on screen, about (x, y)
  bool visible = true;
  std::vector<Point> points;  // polygon and polyline, relative to (x, y)
  std::string text;
  uint32_t gid = 0;  // a tile object's tile, flip bits included
  Properties properties;
};

struct Frame {
  uint32_t tile = 0;  // local id within the tileset
  uint32_t milliseconds = 0;
};

// What a tileset says about one of its tiles.
struct TileInfo {
  std::string type;
  Properties properties;
  std::vector<Object> shapes;  // collision, relative to the tile's top-left
  std::vector<Frame> animation;
  std::string image;  // image-collection tilesets: the tile's own picture
  int imageWidth = 0, imageHeight = 0;
};

// Where a tile's pixels lie on its tileset's sheet.
struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
};

struct Tileset {
  uint32_t firstGid = 1;
  std::string name;
  std::string source;  // the external .tsx/.tsj file, empty when embedded
  int tileWidth = 0, tileHeight = 0;
  int spacing = 0, margin = 0;
  int columns = 0;
  uint32_t tileCount = 0;
  int offsetX = 0, offsetY = 0;  // tileoffset, pixels, y down
  std::string image;             // resolved path; empty for an image collection
  int imageWidth = 0, imageHeight = 0;
  std::map<uint32_t, TileInfo> tiles;  // by local id, only tiles with something to say
  Properties properties;

  // The sheet every tile is drawn from: the image itself, or the pictures of
  // an image collection packed together. Exact size, rows top first, RGBA.
  std::vector<unsigned char> pixels;
  int sheetWidth = 0, sheetHeight = 0;
  std::vector<Rect> rects;  // by local id
  unsigned texture = 0;     // GL name once the drawing side uploaded it
  bool animated = false;    // some tile has frames

  bool collection() const { return image.empty(); }
  bool holds(uint32_t gid) const { return gid >= firstGid && gid - firstGid < tileCount; }
};

struct Layer {
  enum Kind { TILES, OBJECTS, IMAGE };
  Kind kind = TILES;
  int id = 0;
  std::string name;
  std::string type;  // class
  bool visible = true;
  float opacity = 1;
  double offsetX = 0, offsetY = 0;  // pixels, y down, groups' included
  float tint[4] = {1, 1, 1, 1};
  std::vector<uint32_t> cells;  // width × height gids, rows top first
  std::vector<Object> objects;
  std::string image;  // image layers: the picture's path (not drawn)
  Properties properties;
};

struct Map {
  std::string name;  // as scripts name it: "level1"
  std::string path;  // the file it came from
  std::string type;  // class
  int width = 0, height = 0;          // cells
  int tileWidth = 0, tileHeight = 0;  // pixels
  std::vector<Tileset> tilesets;      // by ascending firstGid
  std::vector<Layer> layers;          // drawing order, groups flattened
  Properties properties;

  // The tileset holding `gid` (flip bits ignored), or null.
  const Tileset* tilesetOf(uint32_t gid) const;
  // Index into `layers` of the layer named `name`, or -1.
  int findLayer(const std::string& name) const;
};

// A refused or broken map: what() is the one line the log shows after the
// file's name.
struct MapError {
  std::string message;
};

}  // namespace maps
