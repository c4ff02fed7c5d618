// The start-up sequence, the hand-over to the frame loop, and the shutdown.
// The order is part of the contract with game scripts: main.lua runs before the
// window exists, init runs after every asset is loaded.
#include "host/startup.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "assets/resources.h"
#include "audio/audio.h"
#include "bindings/modules.h"
#include "core/log.h"
#include "core/luautils.h"
#include "core/runstate.h"
#include "core/scriptcall.h"
#include "host/filesystem.h"
#include "host/frameloop.h"
#include "host/sdlutils.h"
#include "host/watchers.h"
#include "render/graphics.h"
#include "render/sheets.h"

namespace host {
namespace {
const char* const MAIN_SCRIPT = "main.lua";

void openModules(lua_State* L) {
  lua_CFunction openers[] = {luaopen_audio,     luaopen_log,      luaopen_gpgutils, luaopen_facebook,
                             luaopen_resources, luaopen_graphics, luaopen_app};
  for (lua_CFunction opener : openers) {
    lua_pushcfunction(L, opener);
    lua_pushstring(L, "table");
    lua_call(L, 1, 0);
  }
}

std::string workingPath(const char* file) {
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return file;
  return std::string(cwd) + "/" + file;
}

struct ConfigSize {
  int width = 0;
  int height = 0;
};

int readConfigProtected(lua_State* L) {
  auto* size = static_cast<ConfigSize*>(lua_touserdata(L, 1));
  lua_getglobal(L, "config");
  if (!lua_istable(L, -1))
    return luaL_error(L, "config must be a table, but it is %s", luaL_typename(L, -1));
  lua_getfield(L, -1, "width");
  size->width = luautils::truncateToInt(lua_tonumber(L, -1));
  lua_getfield(L, -2, "height");
  size->height = luautils::truncateToInt(lua_tonumber(L, -1));
  return 0;
}

void setNumberGlobal(lua_State* L, const char* name, int value) {
  lua_pushnumber(L, value);
  lua_setglobal(L, name);
}
}  // namespace

const char* version() { return TARNWICK_VERSION; }

bool runMainScript(lua_State* L) {
  FILE* file = resources::openFile(MAIN_SCRIPT, "rb");
  if (!file) {
    DLOG("Lua error: cannot open %s: %s\n", workingPath(MAIN_SCRIPT).c_str(), strerror(errno));
    return false;
  }
  std::string text;
  char chunk[8192];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  bool unreadable = ferror(file) != 0;
  int readError = errno;
  fclose(file);
  if (unreadable) {
    DLOG("Lua error: cannot read %s: %s\n", workingPath(MAIN_SCRIPT).c_str(), strerror(readError));
    return false;
  }
  // The chunk is named by its own text, so messages cite its first line.
  if (luaL_loadstring(L, text.c_str()) != 0) {
    script::logError(L);
    return false;
  }
  return script::call(L, 0, 0);
}

bool readConfig(lua_State* L, int* width, int* height) {
  ConfigSize size;
  if (lua_cpcall(L, readConfigProtected, &size) != 0) {
    script::logError(L);
    return false;
  }
  *width = size.width;
  *height = size.height;
  return true;
}

int run(const Options& options) {
  resources::init();
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  openModules(L);
  audio::init();

  DLOG("Load lua main\n");
  int width = 0, height = 0;
  bool started = runMainScript(L);
  if (started) {
    DLOG("Get size\n");
    started = readConfig(L, &width, &height);
  }
  if (!started) {
    // Nothing else was started; release what was, so the failure leaks nothing.
    lua_close(L);
    audio::clear();
    resources::clear();
    return 1;
  }
  setNumberGlobal(L, "screenWidth", width);
  setNumberGlobal(L, "screenHeight", height);

  DLOG("Init SDL\n");
  screenWidth = designWidth = width;
  screenHeight = designHeight = height;
  SDLstart(width, height, options.windowed);

  DLOG("Init audio\n");
  DLOG("Init graphics\n");
  gr_init();

  DLOG("Load assets\n");
  DLOG("Create textures\n");
  gr_loadTextures("assets/textures/");
  DLOG("Create sheets\n");
  gr_uploadSheet(resources::createSpriteSheet("assets/sprites/"), 1, 1);
  for (const char* font : {"OLDENGL", "TrashHand"})
    gr_uploadGlyphSheet(resources::loadFont("assets/fonts/", font, 48));

  DLOG("Call main lua init\n");
  lua_getglobal(L, "init");
  if (lua_isfunction(L, -1))
    script::call(L, 0, 0);
  else
    lua_pop(L, 1);

  DLOG("Start main loop\n");
  Uint32 lastFrame = SDL_GetTicks();
  gr_clearRenderTargets();
  filesystem::watch("assets/scripts", watchers::scriptCallback(L));
  filesystem::watch("assets/shaders/gl210", watchers::shaderCallback());

  frameloop::run(L, lastFrame, options);

  DLOG("SDLquit\n");
  audio::clear();
  resources::clear();
  lua_close(L);
  SDLquit();
  DLOG("Final quit\n");
  return 0;
}
}  // namespace host
