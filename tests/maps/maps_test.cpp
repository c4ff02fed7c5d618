// Loading maps: every layer encoding gives the same cells, tilesets of every
// kind give exact tile rectangles, and each broken or refused map gives its
// one line and no map.
#include <gtest/gtest.h>

#include "maps/loader.h"
#include "maps/parse.h"
#include "maps/map_files.h"
#include "support/capture.h"
#include "support/picture.h"

using namespace maptest;

namespace {
// Flip bits set, so ids above INT_MAX must survive.
const std::vector<uint32_t> GIDS = {1, 0x80000002u, 0x60000001u, 0};

std::vector<uint32_t> cellsOf(const MapFolder& folder, const std::string& file,
                              const std::string& content) {
  folder.write(file, content);
  maps::Map map = maps::load(file.substr(0, file.find('.')));
  EXPECT_EQ(map.layers.size(), 1u);
  return map.layers.empty() ? std::vector<uint32_t>{} : map.layers[0].cells;
}

std::string tmj(const std::string& layerData) {
  return R"({"orientation":"orthogonal","infinite":false,"width":2,"height":2,
    "tilewidth":8,"tileheight":8,
    "tilesets":[{"firstgid":1,"name":"tiles","tilewidth":8,"tileheight":8,"tilecount":2,
                 "columns":2,"image":"tiles.png","imagewidth":16,"imageheight":8}],
    "layers":[{"type":"tilelayer","id":1,"name":"ground","width":2,"height":2,)" +
         layerData + "}]}";
}

// The one line loading `name` logs; the map is not there.
std::string failureOf(const std::string& name) {
  maps::Map* map = reinterpret_cast<maps::Map*>(1);
  std::string log = testsupport::captureOutput([&] { map = maps::get(name); });
  EXPECT_EQ(map, nullptr);
  return log;
}
}  // namespace

TEST(MapLayers, EveryEncodingGivesTheSameCells) {
  MapFolder folder;
  std::vector<unsigned char> bytes = gidBytes(GIDS);
  EXPECT_EQ(cellsOf(folder, "csv.tmx",
                    tmx("<data encoding=\"csv\">\n1,2147483650,\n1610612737,0\n</data>")),
            GIDS);
  EXPECT_EQ(cellsOf(folder, "xml.tmx",
                    tmx("<data><tile gid=\"1\"/><tile gid=\"2147483650\"/>"
                        "<tile gid=\"1610612737\"/><tile/></data>")),
            GIDS);
  EXPECT_EQ(cellsOf(folder, "plain.tmx", tmx("<data encoding=\"base64\">\n   " + base64(bytes) + "\n</data>")),
            GIDS);
  EXPECT_EQ(cellsOf(folder, "zlib.tmx",
                    tmx("<data encoding=\"base64\" compression=\"zlib\">" +
                        base64(compress(bytes, false)) + "</data>")),
            GIDS);
  EXPECT_EQ(cellsOf(folder, "gzip.tmx",
                    tmx("<data encoding=\"base64\" compression=\"gzip\">" +
                        base64(compress(bytes, true)) + "</data>")),
            GIDS);
  EXPECT_EQ(cellsOf(folder, "array.tmj", tmj(R"("data":[1,2147483650,1610612737,0])")), GIDS);
  EXPECT_EQ(cellsOf(folder, "gzip.tmj",
                    tmj(R"("encoding":"base64","compression":"gzip","data":")" +
                        base64(compress(bytes, true)) + "\"")),
            GIDS);
}

TEST(MapTilesets, ExternalCollectionAndSpacedTilesetsGiveExactRectangles) {
  MapFolder folder;
  // 3 × 2 tiles of 4 × 5 pixels, margin 1, spacing 2, beside its .tsx.
  testsupport::writePicture(folder.file("sheet/spaced.png"), testsupport::solidPicture(18, 14, {9, 9, 9, 255}));
  folder.write("sheet/spaced.tsx",
               "<tileset name=\"spaced\" tilewidth=\"4\" tileheight=\"5\" spacing=\"2\" margin=\"1\" "
               "tilecount=\"6\" columns=\"3\"><image source=\"spaced.png\" width=\"18\" height=\"14\"/>"
               "</tileset>");
  testsupport::writePicture(folder.file("a.png"), testsupport::solidPicture(3, 7, {255, 0, 0, 255}));
  testsupport::writePicture(folder.file("b.png"), testsupport::solidPicture(6, 2, {0, 0, 255, 255}));
  folder.write("things.tsj", R"({"name":"things","tilewidth":6,"tileheight":7,"tilecount":2,"columns":0,
    "tiles":[{"id":0,"image":"a.png","imagewidth":3,"imageheight":7},
             {"id":5,"image":"b.png","imagewidth":6,"imageheight":2}]})");
  auto mapWith = [](const std::string& csv) {
    return "<map orientation=\"orthogonal\" width=\"2\" height=\"1\" tilewidth=\"4\" tileheight=\"5\">"
           "<tileset firstgid=\"1\" source=\"sheet/spaced.tsx\"/>"
           "<tileset firstgid=\"7\" source=\"things.tsj\"/>"
           "<layer name=\"l\" width=\"2\" height=\"1\"><data encoding=\"csv\">" + csv +
           "</data></layer></map>";
  };
  folder.write("kinds.tmx", mapWith("5,12"));
  maps::Map map = maps::load("kinds");
  ASSERT_EQ(map.tilesets.size(), 2u);
  const maps::Tileset& spaced = map.tilesets[0];
  EXPECT_EQ(spaced.tileCount, 6u);
  EXPECT_EQ(spaced.sheetWidth, 18);
  const maps::Rect& fifth = spaced.rects[4];  // column 1, row 1
  EXPECT_EQ(std::vector<int>({fifth.x, fifth.y, fifth.width, fifth.height}), std::vector<int>({7, 8, 4, 5}));

  const maps::Tileset& things = map.tilesets[1];
  EXPECT_TRUE(things.collection());
  EXPECT_EQ(things.tileCount, 6u);  // its ids run to 5
  EXPECT_EQ(things.rects[1].width, 0);
  const maps::Rect& b = things.rects[5];
  EXPECT_EQ(std::vector<int>({b.width, b.height}), std::vector<int>({6, 2}));
  const unsigned char* pixel =
      &things.pixels[(static_cast<size_t>(b.y) * things.sheetWidth + b.x) * 4];
  EXPECT_EQ(std::vector<int>({pixel[0], pixel[2]}), std::vector<int>({0, 255}));

  // Id 3 of the collection (gid 10) is a gap, not a tile.
  folder.write("gap.tmx", mapWith("5,10"));
  EXPECT_EQ(failureOf("gap"), "Failed to load map gap: tile id 10 is out of range (layer \"l\" cell 1,0)\n");
}

TEST(BadMaps, EachGivesItsLineOnceAndNoMap) {
  MapFolder folder;
  std::vector<unsigned char> zlib = compress(gidBytes(GIDS), false);
  zlib.resize(zlib.size() - 6);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {tmx("<data encoding=\"csv\">1,2,0,0</data>", "",
           " <tileset firstgid=\"3\" source=\"gone.tsx\"/>\n"),
       folder.file("gone.tsx") + " is missing"},
      {tmx("<data encoding=\"csv\">1,2,0,0</data>", "",
           " <tileset firstgid=\"3\" name=\"lost\" tilewidth=\"8\" tileheight=\"8\" tilecount=\"1\" "
           "columns=\"1\"><image source=\"lost.png\"/></tileset>\n"),
       "tileset \"lost\": image " + folder.file("lost.png") + " is missing"},
      {tmx("<data encoding=\"csv\">1,2,3,0</data>"),
       "tile id 3 is out of range (layer \"ground\" cell 0,1)"},
      {tmx("<data encoding=\"base64\">AQAAAAIAAAAAAA</data>"),
       "layer \"ground\": truncated base64 layer data"},
      {tmx("<data encoding=\"base64\" compression=\"zlib\">" + base64(zlib) + "</data>"),
       "layer \"ground\": truncated zlib layer data"},
      {tmx("<data encoding=\"base64\" compression=\"gzip\">" +
           base64(compress(gidBytes({1, 2, 0, 0, 1}), true)) + "</data>"),
       "layer \"ground\": layer data does not match the map size"},
      {tmx("<data encoding=\"csv\">1,2,0</data>"),
       "layer \"ground\": layer data does not match the map size"},
      {tmx("<data encoding=\"base64\" compression=\"zstd\">AAAA</data>"),
       "layer \"ground\": zstd-compressed layers are not supported; save the map with zlib or gzip"},
      {tmx("<data encoding=\"csv\">1,2,0,0</data>", "", "<objectgroup><object template=\"a.tx\"/></objectgroup>"),
       "object templates are not supported (a.tx); detach the objects from their template"},
      {"<map orientation=\"orthogonal\" width=\"100000\" height=\"100000\" tilewidth=\"8\" "
       "tileheight=\"8\"/>",
       "map size 100000 x 100000 is out of bounds (at most 16777216 cells)"},
      {"<map orientation=\"isometric\" width=\"2\" height=\"2\" tilewidth=\"8\" tileheight=\"8\"/>",
       "isometric maps are not supported; only orthogonal ones"},
      {"<map orientation=\"orthogonal\" infinite=\"1\" width=\"2\" height=\"2\" tilewidth=\"8\" "
       "tileheight=\"8\"/>",
       "infinite maps are not supported; turn off Infinite in the map's properties"},
      {"<map orientation=\"orthogonal\" width=\"2\"", ""},
  };
  for (size_t k = 0; k < cases.size(); ++k) {
    std::string name = "bad" + std::to_string(k);
    folder.write(name + ".tmx", cases[k].first);
    std::string line = failureOf(name);
    if (cases[k].second.empty())
      EXPECT_EQ(line.rfind("Failed to load map " + name + ": " + folder.file(name + ".tmx") +
                               " is not well-formed XML: ", 0), 0u) << line;
    else
      EXPECT_EQ(line, "Failed to load map " + name + ": " + cases[k].second + "\n");
    EXPECT_EQ(failureOf(name), "") << "a failed map is not tried again every frame";
  }
  // JSON: numbers beyond any int, and of the wrong type.
  folder.write("huge.tmj", R"({"orientation":"orthogonal","width":1e300,"height":-1e300,"tilewidth":8,"tileheight":8})");
  EXPECT_EQ(failureOf("huge"), "Failed to load map huge: map size 2147483647 x -2147483648 is out of bounds (at most 16777216 cells)\n");
  folder.write("typed.tmj", tmj(R"("data":"not base64!")"));
  EXPECT_EQ(failureOf("typed"), "Failed to load map typed: layer \"ground\": layer data is not valid base64\n");
  EXPECT_EQ(failureOf("absent"), "Failed to load map absent: no " + folder.file("absent.tmx") +
                                     " or " + folder.file("absent.tmj") + "\n");
}

// A document's relative paths resolve against its own folder, ".." included,
// and none may lead out of the game.
TEST(MapPaths, ResolveBesideTheirDocumentAndStayInTheGame) {
  std::vector<std::string> asked;
  auto read = [&](const std::string& path) {
    asked.push_back(path);
    return std::string("<tileset name=\"t\" tilewidth=\"8\" tileheight=\"8\" tilecount=\"1\" "
                       "columns=\"1\"><image source=\"../pictures/t.png\"/></tileset>");
  };
  auto parse = [&](const std::string& source) {
    return maps::parseMap(tmx("<data encoding=\"csv\">1,2,3,0</data>", "",
                              " <tileset firstgid=\"3\" source=\"" + source + "\"/>\n"),
                          "assets/maps/level.tmx", read);
  };
  maps::Map map = parse("../tilesets/./t.tsx");
  EXPECT_EQ(asked, std::vector<std::string>{"assets/tilesets/t.tsx"});
  ASSERT_EQ(map.tilesets.size(), 2u);
  EXPECT_EQ(map.tilesets[0].image, "assets/maps/tiles.png");
  EXPECT_EQ(map.tilesets[1].image, "assets/pictures/t.png");
  for (const char* outside : {"../../../t.tsx", "/etc/t.tsx"}) {
    try {
      parse(outside);
      ADD_FAILURE() << "read " << outside;
    } catch (const maps::MapError& error) {
      EXPECT_EQ(error.message, std::string(outside) + " is outside the game");
    }
  }
  EXPECT_EQ(asked.size(), 1u);
}
