// The two file-watch callbacks: script files run again, shader programs rebuilt.
#pragma once

#include <lua.hpp>

#include <functional>
#include <string>

#include "host/filesystem.h"

namespace watchers {
using Callback = std::function<void(filesystem::Change, std::string)>;

// Runs the changed script again with the script's own dofile.
void onScriptChange(lua_State* L, filesystem::Change change, const std::string& path);
// Rebuilds every cached program that uses the changed shader file.
void onShaderChange(filesystem::Change change, const std::string& path);

Callback scriptCallback(lua_State* L);
Callback shaderCallback();
}  // namespace watchers
