// The file-watch callbacks: script files run again, shader programs rebuilt,
// and under --watch main.lua and the modules it requires run again, textures,
// sprites and tile maps loaded again.
#pragma once

#include <lua.hpp>

#include <functional>
#include <initializer_list>
#include <string>

#include "host/filesystem.h"

namespace watchers {
using Callback = std::function<void(filesystem::Change, std::string)>;

// Runs the changed script again with the script's own dofile; a module that
// require loaded is left to onModuleChange.
void onScriptChange(lua_State* L, filesystem::Change change, const std::string& path);
// Rebuilds every cached program that uses the changed shader file; a pair
// that no longer builds keeps its program.
void onShaderChange(filesystem::Change change, const std::string& path);
// Runs main.lua again in the running interpreter (its new globals replace the
// old ones; init is not called again), then the script's onReload() if it
// defines one. A script that fails to load changes nothing.
void onMainScriptChange(lua_State* L, const std::string& path);

// Any other .lua file of the game (`path` relative to the game): logs
// "Reload PATH", drops what package.loaded holds for the file under every name
// package.path's relative templates give it, and runs main.lua again, so that
// its require loads the new text. main.lua itself, and a script of
// assets/scripts/ that no require loaded, have their own reloads.
void onModuleChange(lua_State* L, const std::string& path);

Callback scriptCallback(lua_State* L);
Callback moduleCallback(lua_State* L);
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
