// Start-up and shutdown of a run, in their fixed order.
#pragma once

#include <lua.hpp>

#include <string>

#include "host/options.h"

// What the script's config table asks for. Only the size is required.
struct GameConfig {
  int width = 0;
  int height = 0;
  std::string title;         // empty: "Tarnwick", then the size titles
  bool fullscreen = true;    // false: a window, as with --windowed
  bool resizable = false;
  bool vsync = true;
  bool quitOnEscape = true;  // Escape, held or pressed, ends the run
  bool cursor = false;       // true: the system's mouse cursor shows over the window
  std::string icon;          // a picture under assets/textures/ as the window's icon
};

namespace host {
// Brings everything up, runs the frame loop and tears everything down. Returns
// the process exit status: 0 after a normal run, 1 when the game script cannot
// be read, loaded or run, when its config is unusable, or when --strict saw a
// Lua error.
int run(const Options& options);
// Reads, loads and runs main.lua of the working folder; logs and returns false
// on failure.
bool runMainScript(lua_State* L);
// Reads config; logs one line and returns false when config is not a table,
// reading it raises an error, or a field is unusable: a size that is not a
// positive number, a switch that is not a boolean, a title or icon that is not
// text.
bool readConfig(lua_State* L, GameConfig* config);
const char* version();
}  // namespace host
