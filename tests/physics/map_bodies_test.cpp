// Static bodies from a tile map: solid tiles merged into outlines that bodies
// slide across without catching, object-layer shapes, refused shapes and
// options with one line each.
#include <gtest/gtest.h>

#include <box2d/box2d.h>

#include <algorithm>

#include "core/nodefields.h"
#include "maps/map_files.h"
#include "physics/mapbodies.h"
#include "physics/step.h"
#include "physics/worlds.h"
#include "support/capture.h"
#include "support/game_run.h"
#include "support/lua_state.h"
#include "support/picture.h"

using testsupport::LuaState;

namespace {
// 20 × 4 cells of 8 pixels: a floor of solid tiles (gid 1, a full-cell box)
// along the bottom row, one tile with a polygon that is not convex (gid 2) at
// the top left, and an object layer "collision" with one rectangle. Centred
// on its node: the floor's top is at y = -8, the rectangle spans x 40 to 72,
// y 0 to 8.
std::string level() {
  std::string row = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0";
  std::string floor = "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1";
  return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.10" orientation="orthogonal" renderorder="right-down" width="20" height="4" tilewidth="8" tileheight="8" infinite="0">
 <tileset firstgid="1" name="tiles" tilewidth="8" tileheight="8" tilecount="2" columns="2">
  <image source="tiles.png" width="16" height="8"/>
  <tile id="0"><objectgroup><object id="1" x="0" y="0" width="8" height="8"/></objectgroup></tile>
  <tile id="1"><objectgroup><object id="1" x="0" y="0"><polygon points="0,0 8,0 4,2 8,8 0,8"/></object></objectgroup></tile>
 </tileset>
 <layer id="1" name="ground" width="20" height="4">
  <data encoding="csv">)") +
         "2" + row.substr(1) + ",\n" + row + ",\n" + row + ",\n" + floor + R"(</data>
 </layer>
 <objectgroup id="2" name="collision">
  <object id="3" x="120" y="8" width="32" height="8"/>
 </objectgroup>
</map>
)";
}

double field(const LuaState& L, const std::string& expression) {
  L.run("value = " + expression);
  lua_getglobal(L, "value");
  double value = lua_tonumber(L, -1);
  lua_pop(L, 1);
  return value;
}

// The world of `level`, as the scene walk would find it.
void makeWorld(const LuaState& L) {
  L.pushGlobal("level");
  physics::ensureWorld(L, -1, "level");
  lua_pop(L, 1);
}

// Frames after the test changed the scene (L.run does not say so itself, as
// the executable's calls into the script do).
void run(const LuaState& L, int frames) {
  nodefields::invalidate();
  for (int frame = 0; frame < frames; ++frame) physics::step(L, 1.0 / 60);
}
}  // namespace

TEST(PhysicsMapBodies, OutlinesMergeCellsAndKeepHolesAndCornersApart) {
  // Rows top first: a 3 × 3 ring around a hole, and a cell touching it only
  // at a corner.
  std::vector<bool> solid = {true, true, true, false,  //
                             true, false, true, false,  //
                             true, true, true, false,   //
                             false, false, false, true};
  auto loops = physics::traceOutlines(solid, 4, 4);
  ASSERT_EQ(loops.size(), 3u);
  std::vector<double> areas;
  for (const auto& loop : loops) {
    double area = 0;
    for (size_t k = 0; k < loop.size(); ++k)
      area += loop[k].x * loop[(k + 1) % loop.size()].y - loop[(k + 1) % loop.size()].x * loop[k].y;
    areas.push_back(area / 2);
    EXPECT_EQ(loop.size(), 4u);  // rectangles: no corners in a line
  }
  std::sort(areas.begin(), areas.end());
  EXPECT_EQ(areas, (std::vector<double>{-1, 1, 9}));  // the hole goes clockwise
}

TEST(PhysicsMapBodies, BodiesRestOnTilesSlideAcrossSeamsAndRestOnObjects) {
  maptest::MapFolder folder;
  folder.write("level.tmx", level());
  LuaState L;
  L.run("crate = {x = -60, y = 0, body = {width = 8, height = 8, friction = 0, fixedRotation = true}}\n"
        "ball = {x = 56, y = 30, body = {shape = 'circle', radius = 4}}\n"
        "map = {tilemap = 'level', mapBodies = {tiles = true, objects = 'collision', friction = 0}}\n"
        "level = {physics = {}, map, crate, ball}");
  makeWorld(L);
  std::string log = testsupport::captureOutput([&] { run(L, 90); });
  // The one refused tile shape is left out alone.
  EXPECT_NE(log.find(": map \"level\": 1 collision shape(s) left out, the first "
                     "because the polygon is not convex"),
            std::string::npos)
      << log;
  EXPECT_NEAR(field(L, "crate.y"), -4, 1);   // on the floor's top, less Box2D's skins
  EXPECT_NEAR(field(L, "ball.y"), 12, 0.5);   // on the rectangle's top

  // Pushed along the floor, the crate crosses a seam every 8 units without
  // losing speed: merged per-tile boxes would stop it at one.
  L.run("crate.body = {width = 8, height = 8, friction = 0, fixedRotation = true, vx = 60}\n"
        "crate.x = -70");
  run(L, 30);
  double start = field(L, "crate.x");
  run(L, 60);
  EXPECT_NEAR(field(L, "crate.x") - start, 60, 1);
  EXPECT_NEAR(field(L, "crate.y"), -4, 1);  // less Box2D's skins

  // The map node leaves the world: so does its body.
  L.run("table.remove(level, 1)");
  run(L, 30);
  EXPECT_LT(field(L, "ball.y"), 0);
  physics::reset(L);
}

TEST(PhysicsMapBodies, BadOptionsAreRefusedWithOneLine) {
  maptest::MapFolder folder;
  folder.write("level.tmx", level());
  const char* const cases[][2] = {
      {"{objects = 'nope'}", "the map has no object layer \"nope\"; the map's body is left out"},
      {"{tiles = 'nope'}", "the map has no tile layer \"nope\"; the map's body is left out"},
      {"{tiles = 3}", "mapBodies.tiles is true or a tile layer's name; the map's body is left out"},
      {"true", "mapBodies must be a table"},
      {"{tiles = false}", "map \"level\": mapBodies finds no collision shapes; the map has no body"},
  };
  for (const auto& entry : cases) {
    LuaState L;
    L.run(std::string("level = {physics = {}, {tilemap = 'level', mapBodies = ") + entry[0] + "}}");
    makeWorld(L);
    std::string log = testsupport::captureOutput([&] { run(L, 2); });
    EXPECT_NE(log.find(entry[1]), std::string::npos) << entry[0] << ": " << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    physics::reset(L);
  }
}

// A tile layer moved in Tiled collides where it is drawn: its solid tiles'
// outlines and its other tiles' shapes both move with it.
TEST(PhysicsMapBodies, AMovedLayerCollidesWhereItsTilesAreDrawn) {
  testsupport::GameFolder game;
  testsupport::writePicture(game.file("assets/maps/tiles.png"),
                            testsupport::solidPicture(16, 8, {255, 255, 255, 255}));
  // 4 × 2 cells of 8 pixels, centred: the bottom row holds a solid tile and
  // a tile whose shape is its lower half, twice; the layer is moved 4 right
  // and 12 up.
  game.write("assets/maps/moved.tmx", R"(<?xml version="1.0" encoding="UTF-8"?>
<map orientation="orthogonal" width="4" height="2" tilewidth="8" tileheight="8" infinite="0">
 <tileset firstgid="1" name="tiles" tilewidth="8" tileheight="8" tilecount="2" columns="2">
  <image source="tiles.png" width="16" height="8"/>
  <tile id="0"><objectgroup><object id="1" x="0" y="0" width="8" height="8"/></objectgroup></tile>
  <tile id="1"><objectgroup><object id="1" x="0" y="4" width="8" height="4"/></objectgroup></tile>
 </tileset>
 <layer id="1" name="ground" width="4" height="2" offsetx="4" offsety="-12">
  <data encoding="csv">0,0,0,0,1,2,1,2</data>
 </layer>
</map>
)");
  game.writeMain(
      "config = {width = 64, height = 64}\n"
      "map = {tilemap = 'moved', mapBodies = {tiles = true}}\n"
      "world = {camera = {}, physics = {}, map}\n"
      "frame = 0\n"
      "function update() frame = frame + 1\n"
      "  if frame == 3 then for _, x in ipairs({-12.5, -11.5, -3.5, -4.5}) do\n"
      "    local hit = bodies.rayCast(world, x, 50, x, -50)\n"
      "    print('hit', x, hit and string.format('%.2f', hit.y)) end end end\n");
  testsupport::GameRun result = testsupport::runFrames(game, 4);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  // Unmoved, the cells' tops lie at 0 (solid) and -4 (half) and their sides
  // at x = -16, -8, 0, 8; moved, at 12 and 8, and x = -12, -4, 4, 12.
  EXPECT_NE(result.out.find("hit\t-12.5\tnil"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("hit\t-11.5\t12.00"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("hit\t-3.5\t8.00"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("hit\t-4.5\t12.00"), std::string::npos) << result.out;
  EXPECT_EQ(result.out.find("physics: "), std::string::npos) << result.out;
}
