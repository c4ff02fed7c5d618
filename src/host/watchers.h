// The file-watch callbacks: script files run again, shader programs rebuilt,
// and under --watch main.lua run again, textures, sprites and tile maps
// loaded again.
#pragma once

#include <lua.hpp>

#include <functional>
#include <initializer_list>
#include <string>

#include "host/filesystem.h"

namespace watchers {
using Callback = std::function<void(filesystem::Change, std::string)>;

// Runs the changed script again with the script's own dofile.
void onScriptChange(lua_State* L, filesystem::Change change, const std::string& path);
// Rebuilds every cached program that uses the changed shader file; a pair
// that no longer builds keeps its program.
void onShaderChange(filesystem::Change change, const std::string& path);
// Runs main.lua again in the running interpreter (its new globals replace the
// old ones; init is not called again), then the script's onReload() if it
// defines one. A script that fails to load changes nothing.
void onMainScriptChange(lua_State* L, const std::string& path);

Callback scriptCallback(lua_State* L);
Callback shaderCallback();
Callback mainScriptCallback(lua_State* L);
// The texture of the changed file decoded again and its sheet replaced.
Callback textureCallback();
// The sprite sheet of `folder` packed again.
Callback spriteCallback(const char* folder);
// Every loaded tile map read again (a map, tileset or tileset picture
// changed); a map that now fails keeps running as it was.
Callback mapCallback();
// Passes on only what a reload can use: files written or moved in (not
// removals) whose names end in one of `suffixes`.
Callback edits(std::initializer_list<const char*> suffixes, Callback callback);
}  // namespace watchers
