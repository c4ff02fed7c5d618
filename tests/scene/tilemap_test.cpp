// The tile map pass: pictures through the real executable (two tilesets,
// flips, an animation at the node's time, an offset layer; TMX and TMJ draw
// alike), and in-process, the cells a camera sees are the only ones drawn.
#include <gtest/gtest.h>

#include "core/luautils.h"
#include "core/runstate.h"
#include "maps/loader.h"
#include "scene/tilemap_pass.h"
#include "scene/transforms.h"
#include "support/game_run.h"
#include "support/gl_fixture.h"
#include "support/lua_state.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const RGBA RED = {255, 0, 0, 255}, BLUE = {0, 0, 255, 255}, WHITE = {255, 255, 255, 255},
           YELLOW = {255, 255, 0, 255}, GREEN = {0, 255, 0, 255}, BACKGROUND = {0, 0, 0, 255},
           MAGENTA = {255, 0, 255, 255};

// Tileset "a": margin 1, spacing 2, three 16 × 16 tiles in a row: red | blue
// halves, white, yellow; magenta in the gaps, so a stray UV shows.
Picture tilesetA() {
  Picture picture = solidPicture(1 + 3 * 16 + 2 * 2 + 1, 18, MAGENTA);
  for (int tile = 0; tile < 3; ++tile)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        RGBA c = tile == 1 ? WHITE : tile == 2 ? YELLOW : x < 8 ? RED : BLUE;
        size_t at = (static_cast<size_t>(1 + y) * picture.width + 1 + tile * 18 + x) * 4;
        for (int i = 0; i < 4; ++i) picture.rgba[at + i] = static_cast<unsigned char>(c[i]);
      }
  return picture;
}

// 4 × 2 cells. Layer "base": red|blue, the same flipped in x, the animated
// tile (white 500 ms, then yellow), the collection's green; below, red|blue
// flipped on the diagonal. Layer "shifted": green at cell 2,1, moved 8 right
// and 4 up. Tileset "b" draws its tiles 6 right and 2 down (tileoffset).
const char* const TMX = R"(<?xml version="1.0"?>
<map orientation="orthogonal" width="4" height="2" tilewidth="16" tileheight="16" infinite="0">
 <tileset firstgid="1" name="a" tilewidth="16" tileheight="16" margin="1" spacing="2" tilecount="3" columns="3">
  <image source="a.png" width="55" height="18"/>
  <tile id="1"><animation><frame tileid="1" duration="500"/><frame tileid="2" duration="500"/></animation></tile>
 </tileset>
 <tileset firstgid="4" name="b" tilewidth="16" tileheight="16" tilecount="1" columns="0">
  <tileoffset x="6" y="2"/>
  <tile id="0"><image source="green.png" width="16" height="16"/></tile>
 </tileset>
 <layer id="1" name="base" width="4" height="2">
  <data encoding="csv">1,2147483649,2,4,536870913,0,0,0</data>
 </layer>
 <layer id="2" name="shifted" width="4" height="2" offsetx="8" offsety="-4">
  <data encoding="csv">0,0,0,0,0,0,4,0</data>
 </layer>
</map>
)";

const char* const TMJ = R"({"orientation":"orthogonal","width":4,"height":2,"tilewidth":16,"tileheight":16,"infinite":false,
 "tilesets":[{"firstgid":1,"name":"a","tilewidth":16,"tileheight":16,"margin":1,"spacing":2,"tilecount":3,"columns":3,
   "image":"a.png","imagewidth":55,"imageheight":18,
   "tiles":[{"id":1,"animation":[{"tileid":1,"duration":500},{"tileid":2,"duration":500}]}]},
  {"firstgid":4,"name":"b","tilewidth":16,"tileheight":16,"tilecount":1,"columns":0,
   "tileoffset":{"x":6,"y":2},
   "tiles":[{"id":0,"image":"green.png","imagewidth":16,"imageheight":16}]}],
 "layers":[{"type":"tilelayer","id":1,"name":"base","width":4,"height":2,"data":[1,2147483649,2,4,536870913,0,0,0]},
  {"type":"tilelayer","id":2,"name":"shifted","width":4,"height":2,"offsetx":8,"offsety":-4,
   "data":[0,0,0,0,0,0,4,0]}]})";

// The map centred in a 128 × 64 window: its top-left pixel is (32, 16).
Picture drawMap(const std::string& file, const std::string& content, const std::string& node) {
  GameFolder game;
  writePicture(game.file("assets/maps/a.png"), tilesetA());
  writePicture(game.file("assets/maps/green.png"), solidPicture(16, 16, GREEN));
  game.write("assets/maps/" + file, content);
  game.writeMain("config = {width = 128, height = 64}\n"
                 "clearColor = {red = 0, green = 0, blue = 0}\n"
                 "world = { camera = {}, " + node + " }\n");
  GameRun run = runFrames(game, 2, true);
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(run.out.find("Failed to load map"), std::string::npos) << run.out;
  return readPicture(game.file("shot.png"));
}

void expectProbes(const Picture& shot, const std::vector<std::pair<std::array<int, 2>, RGBA>>& probes) {
  ASSERT_EQ(shot.width, 128);
  for (const auto& probe : probes) {
    RGBA seen = shot.at(probe.first[0], probe.first[1]);
    EXPECT_TRUE(near(seen, probe.second, 2)) << "at " << probe.first[0] << "," << probe.first[1]
                                             << ": " << seen[0] << " " << seen[1] << " " << seen[2];
  }
}
}  // namespace

TEST(TileMapPictures, TilesetsFlipsAnimationAndOffsetsLandWhereTiledPutsThem) {
  Picture shot = drawMap("probe.tmx", TMX, "{ tilemap = 'probe', animationTime = 0.75 }");
  expectProbes(shot, {
                         {{32, 16}, RED},  {{39, 31}, RED},   // first cell, its corners exact
                         {{40, 16}, BLUE}, {{47, 31}, BLUE},  // no magenta from the gaps
                         {{48, 20}, BLUE}, {{63, 20}, RED},   // flipped in x
                         {{70, 20}, YELLOW},                  // animated, at 0.75 s
                         {{90, 20}, GREEN},                   // the collection's tile,
                         {{86, 18}, GREEN}, {{101, 33}, GREEN},  // at its tileset's offset
                         {{85, 25}, BACKGROUND}, {{95, 17}, BACKGROUND},
                         {{40, 33}, RED},  {{40, 46}, BLUE},  // diagonal: halves now on top and below
                         {{56, 40}, BACKGROUND},              // an empty cell
                         {{86, 40}, GREEN}, {{66, 46}, BACKGROUND},  // the shifted layer
                         {{5, 5}, BACKGROUND},
                     });
  // One layer alone, by name, with the run's clock (white, early on).
  expectProbes(drawMap("probe.tmx", TMX, "{ tilemap = 'probe', tileLayer = 'base' }"),
               {{{70, 20}, WHITE}, {{86, 40}, BACKGROUND}});
}

TEST(TileMapPictures, TheSameMapInTmxAndTmjDrawsTheSameFrame) {
  const std::string node = "{ tilemap = 'probe', animationTime = 0.75, x = 3, y = -2 }";
  Picture fromTmx = drawMap("probe.tmx", TMX, node), fromTmj = drawMap("probe.tmj", TMJ, node);
  ASSERT_EQ(fromTmx.width, 128);
  EXPECT_EQ(fromTmx.rgba, fromTmj.rgba);
}

namespace {
class TileMapCulling : public GLTest {
 protected:
  // A width × height map of 16 × 16 tiles, every cell filled.
  void SetUp() override {
    screenWidth = designWidth = WIDTH;
    screenHeight = designHeight = HEIGHT;
    maps::Map map;
    map.name = "big";
    map.width = map.height = 2000;
    map.tileWidth = map.tileHeight = 16;
    maps::Tileset tileset;
    tileset.name = "one";
    tileset.tileWidth = tileset.tileHeight = 16;
    tileset.columns = 1;
    tileset.tileCount = 1;
    tileset.image = "one.png";
    tileset.sheetWidth = tileset.sheetHeight = 16;
    tileset.pixels.assign(16 * 16 * 4, 255);
    tileset.rects = {{0, 0, 16, 16}};
    map.tilesets.push_back(tileset);
    maps::Layer layer;
    layer.name = "ground";
    layer.cells.assign(2000 * 2000, 1);
    map.layers.push_back(layer);
    maps::loaded["big"] = map;
  }
  void TearDown() override {
    maps::clear(tilemappass::releaseTextures);
    for (BatchList& list : batches) list.clear();
  }

  // Triangles the pass adds for `world`.
  int trianglesFor(const std::string& world) {
    for (BatchList& list : batches) list.clear();
    lua.run(world);
    lua.pushGlobal("world");
    HandlerQueue enter;
    transforms::prepare(lua, enter);
    tilemappass::prepare(lua, enter, batches, 16);
    luautils::traverse(lua, enter);
    lua_pop(lua, 1);
    int triangles = 0;
    for (BatchList& list : batches)
      for (Batch& batch : list) triangles += batch.triangles;
    return triangles;
  }

  LuaState lua;
  BatchMatrix batches;
};
}  // namespace

TEST_F(TileMapCulling, OnlyTheCellsTheCameraSeesAreDrawnWhereverTheMapIs) {
  // The 320 × 240 window shows 20 × 15 cells, 21 × 16 when they straddle it.
  for (const char* place : {"", "x = 15000, y = -7000", "x = 1234.5, y = -987.25"}) {
    int seen = trianglesFor(std::string("world = { camera = {}, { tilemap = 'big', ") + place + " } }");
    EXPECT_GE(seen, 2 * 20 * 15) << place;
    EXPECT_LE(seen, 2 * 22 * 17) << place;
  }
  // Scaled to a quarter, four times as many cells a side show...
  int small = trianglesFor("world = { camera = {}, { tilemap = 'big', scale = 0.25 } }");
  EXPECT_GE(small, 16 * 2 * 20 * 15);
  EXPECT_LE(small, 2 * 82 * 62);
  // ... and none when the map is off screen.
  EXPECT_EQ(trianglesFor("world = { camera = {}, { tilemap = 'big', x = 40000 } }"), 0);
}
