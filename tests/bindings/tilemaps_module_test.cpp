// The tilemaps module: a map's properties and objects reach the script with
// their types and in the node's units, tile shapes are placed and flipped
// with their cells, and tiles are read and written by cell.
#include <gtest/gtest.h>

#include "maps/map_files.h"
#include "modules_fixture.h"
#include "support/lua_state.h"

using bindingstest::runScript;
using testsupport::LuaState;

namespace {
const char* const MAP = R"(<map orientation="orthogonal" width="2" height="2" tilewidth="8" tileheight="8" class="level">
 <properties>
  <property name="title" value="Cave"/>
  <property name="lives" type="int" value="3"/>
  <property name="gravity" type="float" value="9.5"/>
  <property name="dark" type="bool" value="true"/>
  <property name="tint" type="color" value="#ff112233"/>
  <property name="music" type="file" value="cave.ogg"/>
  <property name="boss" type="object" value="7"/>
  <property name="spawn" type="class" propertytype="Spawn"><properties><property name="count" type="int" value="2"/></properties></property>
  <property name="notes">line one
line two</property>
 </properties>
 <tileset firstgid="1" name="tiles" tilewidth="8" tileheight="8" tilecount="2" columns="2">
  <image source="tiles.png" width="16" height="8"/>
  <tile id="1" type="spike">
   <properties><property name="damage" type="int" value="5"/></properties>
   <objectgroup>
    <object id="1" x="0" y="4" width="8" height="4"/>
    <object id="2" x="0" y="0"><polygon points="0,0 8,0 0,8"/></object>
   </objectgroup>
  </tile>
 </tileset>
 <layer id="1" name="ground" width="2" height="2"><data encoding="csv">0,0,2,2147483650</data></layer>
 <objectgroup id="2" name="things" offsetx="2" offsety="1">
  <object id="1" name="door" type="exit" x="4" y="2" width="4" height="6" rotation="90">
   <properties><property name="to" value="level2"/></properties>
  </object>
  <object id="2" name="pool" x="0" y="8" width="6" height="4"><ellipse/></object>
  <object id="3" name="spawn" x="5" y="5"><point/></object>
  <object id="4" name="ramp" x="0" y="0"><polygon points="0,0 4,0 4,4"/></object>
  <object id="5" name="path" x="1" y="1"><polyline points="0,0 2,3"/></object>
  <object id="6" name="sign" x="0" y="0" width="8" height="4"><text wrap="1">Hello</text></object>
  <object id="7" name="gem" gid="2147483650" x="8" y="16" width="8" height="8"/>
 </objectgroup>
</map>
)";

struct TileMaps : ::testing::Test {
  LuaState lua;
  maptest::MapFolder folder;
  void SetUp() override {
    bindingstest::openModules(lua);
    folder.write("rt.tmx", MAP);
    runScript(lua,
              "function same(a, b, what) if a ~= b then error(what .. ': ' .. tostring(a) .. ' ~= ' .. tostring(b), 2) end end\n"
              "function point(p, x, y, what) same(p.x, x, what .. '.x'); same(p.y, y, what .. '.y') end\n");
  }
};
}  // namespace

TEST_F(TileMaps, PropertiesAndObjectsArriveTypedInTheNodesUnits) {
  runScript(lua, R"(
    local map = tilemaps.getMap('rt')
    same(map.width, 2, 'width'); same(map.tileWidth, 8, 'tileWidth'); same(map.pixelHeight, 16, 'pixelHeight')
    same(map.type, 'level', 'class')
    local p, t = map.properties, map.propertyTypes
    same(p.title, 'Cave', 'title'); same(t.title, 'string', 'title type')
    same(p.lives, 3, 'lives'); same(t.lives, 'int', 'lives type')
    same(p.gravity, 9.5, 'gravity'); same(t.gravity, 'float', 'gravity type')
    same(p.dark, true, 'dark'); same(t.dark, 'bool', 'dark type')
    same(p.tint, '#ff112233', 'tint'); same(t.tint, 'color', 'tint type')
    same(p.music, 'cave.ogg', 'music'); same(t.music, 'file', 'music type')
    same(p.boss, 7, 'boss'); same(t.boss, 'object', 'boss type')
    same(p.spawn.count, 2, 'class member'); same(t.spawn, 'class', 'spawn type')
    same(p.notes, 'line one\nline two', 'multi-line string')

    same(#map.layers, 2, 'layers')
    same(map.layers[1].kind, 'tiles', 'first kind'); same(map.layers[2].kind, 'objects', 'second kind')
    same(map.layers[2].offsetX, 2, 'offsetX'); same(map.layers[2].offsetY, -1, 'offsetY, y up')
    same(#map.objects, 7, 'objects'); same(map.objects[1], map.layers[2].objects[1], 'one table for both lists')

    local door, pool, spawn, ramp, path, sign, gem = unpack(map.objects)
    same(door.layer, 'things', 'layer'); same(door.type, 'exit', 'type'); same(door.shape, 'rectangle', 'shape')
    point(door, -2, 5, 'door'); same(door.rotation, -90, 'rotation, counter-clockwise')
    same(door.centerX, -5, 'door centre x'); same(door.centerY, 3, 'door centre y')
    same(door.properties.to, 'level2', 'object property')
    same(pool.shape, 'ellipse', 'ellipse'); same(pool.centerX, -3, 'pool x'); same(pool.centerY, -3, 'pool y')
    same(spawn.shape, 'point', 'point'); point(spawn, -1, 2, 'spawn')
    same(ramp.shape, 'polygon', 'polygon'); same(#ramp.points, 3, 'ramp points')
    point(ramp.points[1], -2, 3, 'ramp, counter-clockwise'); point(ramp.points[3], -6, 7, 'ramp last')
    same(path.shape, 'polyline', 'polyline'); point(path.points[1], -5, 6, 'path'); point(path.points[2], -3, 3, 'path end')
    same(sign.shape, 'text', 'text'); same(sign.text, 'Hello', 'text content')
    same(gem.shape, 'tile', 'tile'); same(gem.gid, 2, 'gid without flips'); same(gem.flipX, true, 'flipX')
    point(gem, 2, -9, 'gem'); same(gem.centerX, 6, 'gem centre x'); same(gem.centerY, -5, 'gem centre y')

    local spike = map.tiles[2]
    same(spike.type, 'spike', 'tile class'); same(spike.properties.damage, 5, 'tile property')
    same(spike.shapes[1].shape, 'rectangle', 'tile shape'); same(spike.shapes[1].centerY, -2, 'from the tile centre')
    same(map.tiles[1], nil, 'tiles without data')
  )");
}

TEST_F(TileMaps, ShapesFollowTheirCellsAndTilesAreReadAndWrittenByCell) {
  runScript(lua, R"(
    local shapes = tilemaps.getTileShapes('rt', 'ground')
    same(#shapes, 4, 'two shapes on each of two cells')
    local box, flippedBox, flippedTriangle = shapes[1], shapes[3], shapes[4]
    same(box.shape, 'rectangle', 'box'); point(box, -4, -6, 'box'); same(box.width, 8, 'box width')
    same(box.cellX, 0, 'cellX'); same(box.cellY, 1, 'cellY')
    point(flippedBox, 4, -6, 'flipped box')
    same(flippedTriangle.flipX, true, 'flip'); same(#flippedTriangle.points, 3, 'triangle')
    point(flippedTriangle.points[1], 8, 0, 'mirrored triangle'); point(flippedTriangle.points[3], 8, -8, 'its last')

    local gid, fx, fy, fd = tilemaps.getTile('rt', 'ground', 1, 1)
    same(gid, 2, 'gid'); same(fx, true, 'fx'); same(fy, false, 'fy'); same(fd, false, 'fd')
    tilemaps.setTile('rt', 'ground', 0, 0, 1, false, true)
    gid, fx, fy = tilemaps.getTile('rt', 'ground', 0, 0)
    same(gid, 1, 'written'); same(fy, true, 'written flip')
    tilemaps.setTile('rt', 'ground', 0, 1, 0)
    same(tilemaps.getTile('rt', 'ground', 0, 1), 0, 'emptied')
    local function fails(f, text)
      local ok, err = pcall(f)
      if ok or not tostring(err):find(text, 1, true) then error('expected ' .. text .. ', got ' .. tostring(err), 2) end
    end
    fails(function() tilemaps.setTile('rt', 'ground', 0, 0, 3) end, 'tile id 3 is out of range')
    fails(function() tilemaps.getTile('rt', 'ground', 2, 0) end, 'cell 2,0 is outside the 2 x 2 map rt')
    fails(function() tilemaps.getTile('rt', 'things', 0, 0) end, 'map rt has no tile layer things')
    fails(function() tilemaps.getMap('nothing') end, 'no map nothing could be loaded')
  )");
}
