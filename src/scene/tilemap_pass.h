// The tile map pass: a node with `tilemap = "NAME"` draws the tile layers of
// assets/maps/NAME.tmx (or .tmj), centred on the node, one unit a pixel, y
// up; with `tileLayer = "LAYER"` it draws that layer alone. Each camera gets,
// per layer, one batch per tileset holding only the tiles it can see.
#pragma once

#include "core/luautils.h"
#include "maps/map.h"
#include "render/graphics.h"

namespace tilemappass {
// Finds the cameras in `world` (on top of the stack) and queues one handler
// per camera; `dtMs` advances the clock tile animations play by.
void prepare(lua_State* L, HandlerQueue& enter, BatchMatrix& batchMatrix, float dtMs);
// Deletes the GL textures of the map's sheets (before a reload replaces it).
void releaseTextures(maps::Map& map);
}  // namespace tilemappass
