// Tile map drawing. The camera's view is taken back through the node's
// transform onto the map's plane, so only the cells under it are visited,
// and a layer's tiles become one batch per tileset: its cost follows what is
// seen, not the map's size. Tiles larger than a cell reach up and right from
// their cell's lower-left corner, as in Tiled, and the visited cells widen by
// that much.
#include "scene/tilemap_pass.h"

#include <glm/gtc/type_ptr.hpp>
#include <glm/mat3x3.hpp>

#include <algorithm>
#include <cmath>

#include "core/diagnostics.h"
#include "maps/loader.h"
#include "maps/units.h"
#include "render/sheets.h"
#include "scene/cameras.h"
#include "scene/transforms.h"

namespace tilemappass {
namespace {
const int FLOATS_PER_VERTEX = 5;  // in_position (3), in_uv (2)
const int FLOATS_PER_TILE = 6 * FLOATS_PER_VERTEX;
const char* const SHADER = "pt";

const nodefields::Key TILEMAP("tilemap"), TILE_LAYER("tileLayer"), ANIMATION_TIME("animationTime");
const NameId COLOR = gr_nameId("color"), PROJECTION = gr_nameId("projection"),
             SAMPLER = gr_nameId("textureSampler"), TEXTURE_WIDTH = gr_nameId("width"),
             TEXTURE_HEIGHT = gr_nameId("height"), IN_POSITION = gr_nameId("in_position"),
             IN_UV = gr_nameId("in_uv");

float clockMs = 0;  // the run's clock, for nodes without animationTime

// Reused from node to node: one thread, and no handler runs inside another.
std::string mapName, layerName;
std::vector<size_t> counts;
std::vector<GLfloat*> cursors, starts;

// The cells [column0, column1) × [row0, row1) to visit.
struct CellRange {
  int column0 = 0, column1 = 0, row0 = 0, row1 = 0;
};

// The cells under the part of the map's plane the camera sees; all of them
// when the view cannot be bounded there (a perspective view reaching the
// horizon), none when it shows nothing of the plane.
CellRange visibleCells(const maps::Map& map, const maps::Layer& layer, const glm::mat4& toClip) {
  CellRange all{0, map.width, 0, map.height}, none;
  // The plane z = 0 maps to clip space by a 3 × 3 projective map.
  glm::mat3 plane(glm::vec3(toClip[0][0], toClip[0][1], toClip[0][3]),
                  glm::vec3(toClip[1][0], toClip[1][1], toClip[1][3]),
                  glm::vec3(toClip[3][0], toClip[3][1], toClip[3][3]));
  // An empty view, or the plane seen edge-on: nothing of the map shows.
  float determinant = glm::determinant(plane);
  if (!std::isfinite(determinant) || std::fabs(determinant) < 1e-20f) return none;
  glm::mat3 back = glm::inverse(plane);
  double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
  for (float cx : {-1.0f, 1.0f})
    for (float cy : {-1.0f, 1.0f}) {
      glm::vec3 p = back * glm::vec3(cx, cy, 1);
      if (!(p.z > 0)) return all;
      minX = std::min(minX, double(p.x / p.z));
      maxX = std::max(maxX, double(p.x / p.z));
      minY = std::min(minY, double(p.y / p.z));
      maxY = std::max(maxY, double(p.y / p.z));
    }
  // Tiles reach beyond their cells by their excess size and offsets.
  double padX = 0, padY = 0;
  for (const maps::Tileset& tileset : map.tilesets) {
    int widest = tileset.tileWidth, tallest = tileset.tileHeight;
    for (const maps::Rect& rect : tileset.rects) {
      widest = std::max(widest, rect.width);
      tallest = std::max(tallest, rect.height);
    }
    padX = std::max(padX, double(std::max(widest - map.tileWidth, 0) + std::abs(tileset.offsetX)));
    padY = std::max(padY, double(std::max(tallest - map.tileHeight, 0) + std::abs(tileset.offsetY)));
  }
  double left = minX + maps::pixelWidth(map) / 2 - layer.offsetX - padX;
  double right = maxX + maps::pixelWidth(map) / 2 - layer.offsetX + padX;
  double top = maps::pixelHeight(map) / 2 - maxY - layer.offsetY - padY;
  double bottom = maps::pixelHeight(map) / 2 - minY - layer.offsetY + padY;
  auto clampCell = [](double value, int cells) {
    return static_cast<int>(std::min(std::max(value, 0.0), double(cells)));
  };
  CellRange range;
  range.column0 = clampCell(std::floor(left / map.tileWidth), map.width);
  range.column1 = clampCell(std::floor(right / map.tileWidth) + 1, map.width);
  range.row0 = clampCell(std::floor(top / map.tileHeight), map.height);
  range.row1 = clampCell(std::floor(bottom / map.tileHeight) + 1, map.height);
  return range;
}

// Index into map.tilesets of the tileset drawing `id`, or -1 (also for an
// empty slot of an image collection).
int tilesetIndex(const maps::Map& map, uint32_t id) {
  for (size_t k = map.tilesets.size(); k-- > 0;) {
    const maps::Tileset& tileset = map.tilesets[k];
    if (id < tileset.firstGid) continue;
    uint32_t local = id - tileset.firstGid;
    return local < tileset.rects.size() && tileset.rects[local].width > 0 ? static_cast<int>(k) : -1;
  }
  return -1;
}

// The local id shown for `local` at `ms`: its animation frame, if it has one.
uint32_t shownTile(const maps::Tileset& tileset, uint32_t local, double ms) {
  auto found = tileset.tiles.find(local);
  if (found == tileset.tiles.end() || found->second.animation.empty()) return local;
  const std::vector<maps::Frame>& frames = found->second.animation;
  double total = 0;
  for (const maps::Frame& frame : frames) total += frame.milliseconds;
  if (total <= 0) return frames[0].tile;
  double at = std::fmod(ms, total);
  if (at < 0) at += total;
  for (const maps::Frame& frame : frames) {
    if (at < frame.milliseconds) return frame.tile;
    at -= frame.milliseconds;
  }
  return frames.back().tile;
}

// Writes one tile's six vertices: lower-left, upper-right, upper-left,
// lower-left, lower-right, upper-right, as the texture pass does.
GLfloat* writeTile(GLfloat* out, const glm::mat4& transform, float left, float bottom,
                   const maps::Rect& rect, const maps::Tileset& tileset, uint32_t flags) {
  static const int CORNERS[6][2] = {{0, 1}, {1, 0}, {0, 0}, {0, 1}, {1, 1}, {1, 0}};  // x right, y down
  float u[2] = {float(rect.x) / tileset.sheetWidth, float(rect.x + rect.width) / tileset.sheetWidth};
  float v[2] = {float(rect.y) / tileset.sheetHeight,
                float(rect.y + rect.height) / tileset.sheetHeight};
  for (const auto& corner : CORNERS) {
    float x = left + corner[0] * rect.width;
    float y = bottom + (1 - corner[1]) * rect.height;
    glm::vec4 placed = transform * glm::vec4(x, y, 0, 1);
    // Which corner of the picture lands here: Tiled flips the diagonal first,
    // then horizontally, then vertically; undo them in reverse.
    int sx = corner[0], sy = corner[1];
    if (flags & maps::FLIP_Y) sy = 1 - sy;
    if (flags & maps::FLIP_X) sx = 1 - sx;
    if (flags & maps::FLIP_DIAGONAL) std::swap(sx, sy);
    out[0] = placed.x;
    out[1] = placed.y;
    out[2] = placed.z;
    out[3] = u[sx];
    out[4] = v[sy];
    out += FLOATS_PER_VERTEX;
  }
  return out;
}

struct NodeHandler {
  BatchMatrix* batchMatrix;
  cameras::Switches switches;
  cameras::Camera camera;

  void operator()(lua_State* L) const {
    const nodefields::Snapshot* node = nodefields::entered();
    if (!getString(L, node, TILEMAP, mapName)) return;
    if (!cameras::sees(L, node, camera)) return;
    maps::Map* map = maps::get(mapName);
    if (!map) return;
    float seconds = clockMs / 1000;
    getNumber<float>(L, node, ANIMATION_TIME, &seconds);
    glm::mat4 transform = transforms::getTransform(L);
    if (getString(L, node, TILE_LAYER, layerName)) {
      int index = map->findLayer(layerName);
      if (index < 0 || map->layers[static_cast<size_t>(index)].kind != maps::Layer::TILES) {
        diagnostics::logRepeated("tileLayer " + mapName + " " + layerName,
                                 "Map %s has no tile layer %s\n", mapName.c_str(),
                                 layerName.c_str());
        return;
      }
      drawLayer(*map, map->layers[static_cast<size_t>(index)], transform, seconds * 1000.0);
      return;
    }
    for (const maps::Layer& layer : map->layers)
      if (layer.kind == maps::Layer::TILES && layer.visible)
        drawLayer(*map, layer, transform, seconds * 1000.0);
  }

  void drawLayer(maps::Map& map, const maps::Layer& layer, const glm::mat4& transform,
                 double ms) const {
    CellRange range = visibleCells(map, layer, camera.projection * transform);
    size_t tilesets = map.tilesets.size();
    counts.assign(tilesets, 0);
    for (int row = range.row0; row < range.row1; ++row) {
      const uint32_t* cell = &layer.cells[static_cast<size_t>(row) * map.width];
      for (int column = range.column0; column < range.column1; ++column) {
        uint32_t id = cell[column] & ~maps::FLIP_BITS;
        if (id == 0) continue;
        int k = tilesetIndex(map, id);
        if (k >= 0) ++counts[static_cast<size_t>(k)];
      }
    }
    BatchList& list = (*batchMatrix)[static_cast<size_t>(camera.index)];
    cursors.assign(tilesets, nullptr);
    starts.assign(tilesets, nullptr);
    for (size_t k = 0; k < tilesets; ++k)
      if (counts[k]) starts[k] = cursors[k] = list.vertices(counts[k] * FLOATS_PER_TILE);

    float originX = static_cast<float>(layer.offsetX - maps::pixelWidth(map) / 2);
    float originY = static_cast<float>(maps::pixelHeight(map) / 2 - layer.offsetY);
    for (int row = range.row0; row < range.row1; ++row) {
      const uint32_t* cell = &layer.cells[static_cast<size_t>(row) * map.width];
      for (int column = range.column0; column < range.column1; ++column) {
        uint32_t gid = cell[column];
        uint32_t id = gid & ~maps::FLIP_BITS;
        if (id == 0) continue;
        int k = tilesetIndex(map, id);
        if (k < 0) continue;
        const maps::Tileset& tileset = map.tilesets[static_cast<size_t>(k)];
        uint32_t local = id - tileset.firstGid;
        if (tileset.animated) local = shownTile(tileset, local, ms);
        const maps::Rect& rect = tileset.rects[local];
        float left = originX + float(column * map.tileWidth + tileset.offsetX);
        float bottom = originY - float((row + 1) * map.tileHeight + tileset.offsetY);
        cursors[static_cast<size_t>(k)] =
            writeTile(cursors[static_cast<size_t>(k)], transform, left, bottom, rect, tileset, gid);
      }
    }
    for (size_t k = 0; k < tilesets; ++k)
      if (counts[k]) addBatch(list, map.tilesets[k], layer, starts[k], counts[k]);
  }

  void addBatch(BatchList& list, maps::Tileset& tileset, const maps::Layer& layer,
                GLfloat* vertices, size_t tiles) const {
    if (tileset.texture == 0) {
      tileset.texture = gr_uploadTileSheet(tileset.pixels.data(), tileset.sheetWidth,
                                           tileset.sheetHeight);
      std::vector<unsigned char>().swap(tileset.pixels);  // GL holds them now
    }
    Batch& batch = list.add();
    float alpha = layer.opacity * layer.tint[3];
    const float color[4] = {layer.tint[0] * alpha, layer.tint[1] * alpha, layer.tint[2] * alpha,
                            alpha};
    const float size[2] = {float(tileset.sheetWidth), float(tileset.sheetHeight)};
    GLuint texture = tileset.texture;
    batch.uniforms.set(COLOR, color, sizeof color);
    batch.uniforms.set(PROJECTION, glm::value_ptr(camera.projection), sizeof camera.projection);
    batch.uniforms.set(SAMPLER, &texture, sizeof texture);
    batch.uniforms.set(TEXTURE_WIDTH, &size[0], sizeof size[0]);
    batch.uniforms.set(TEXTURE_HEIGHT, &size[1], sizeof size[1]);
    batch.program = gr_getProgram(SHADER, SHADER);
    batch.attributes.set(IN_POSITION, {3, 0});
    batch.attributes.set(IN_UV, {2, 3});
    batch.triangles = static_cast<int>(tiles * 2);
    batch.clearTarget = switches.clearTarget;
    batch.targetName = camera.target;
    batch.enableBlending = true;
    batch.enableDepthTest = switches.depthTest;
    batch.data = vertices;
  }
};
}  // namespace

void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix, float dtMs) {
  clockMs += dtMs;
  cameras::forEach(L, batchMatrix, [&](lua_State*, const cameras::Camera& camera) {
    enter.push_back(NodeHandler{&batchMatrix, cameras::readSwitches(L), camera});
  });
}

void releaseTextures(maps::Map& map) {
  for (maps::Tileset& tileset : map.tilesets) {
    gr_deleteTexture(tileset.texture);
    tileset.texture = 0;
  }
}
}  // namespace tilemappass
