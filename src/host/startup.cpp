// The start-up sequence, the hand-over to the frame loop, and the shutdown.
// The order is part of the contract with game scripts: main.lua runs before the
// window exists, init runs after every asset is loaded.
#include "host/startup.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "assets/resources.h"
#include "audio/audio.h"
#include "bindings/cursor.h"
#include "bindings/modules.h"
#include "bindings/surfaces.h"
#include "core/diagnostics.h"
#include "core/log.h"
#include "core/luautils.h"
#include "core/runstate.h"
#include "core/scriptcall.h"
#include "files/files.h"
#include "files/saves.h"
#include "host/filesystem.h"
#include "host/frameloop.h"
#include "host/gamescripts.h"
#include "host/keys.h"
#include "host/letterbox.h"
#include "host/mathrandom.h"
#include "host/sdlutils.h"
#include "host/watchers.h"
#include "physics/worlds.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "render/graphics.h"
#include "render/sheets.h"

namespace host {
namespace {
const char* const MAIN_SCRIPT = "main.lua";

void openModules(lua_State* L) {
  lua_CFunction openers[] = {luaopen_audio,     luaopen_log,      luaopen_gpgutils, luaopen_facebook,
                             luaopen_resources, luaopen_graphics, luaopen_app,
                             luaopen_tilemaps, luaopen_bodies,
                             luaopen_saves};
  for (lua_CFunction opener : openers) {
    lua_pushcfunction(L, opener);
    lua_pushstring(L, "table");
    lua_call(L, 1, 0);
  }
}

std::string workingPath(const char* file) {
  std::string folder = platform::workingFolder();
  return folder.empty() ? file : folder + "/" + file;
}

// A config field as the protected read found it; checked outside that call.
struct RawField {
  int type = LUA_TNIL;
  bool numeric = false;  // a number, or text that reads as one
  double number = 0;
  bool boolean = false;
  std::string text;      // strings and numbers
};

const char* const CONFIG_FIELDS[] = {"width", "height",       "title",  "fullscreen", "resizable",
                                     "vsync", "quitOnEscape", "cursor", "icon",       "identity"};
const size_t CONFIG_FIELD_COUNT = sizeof CONFIG_FIELDS / sizeof CONFIG_FIELDS[0];

struct RawConfig {
  RawField fields[CONFIG_FIELD_COUNT];
};

int readConfigProtected(lua_State* L) {
  auto* raw = static_cast<RawConfig*>(lua_touserdata(L, 1));
  luautils::pushGlobal(L, "config");
  if (!lua_istable(L, -1))
    return luaL_error(L, "config must be a table, but it is %s", luaL_typename(L, -1));
  for (size_t i = 0; i < CONFIG_FIELD_COUNT; ++i) {
    luautils::pushField(L, -1, CONFIG_FIELDS[i]);
    RawField& field = raw->fields[i];
    field.type = lua_type(L, -1);
    field.numeric = lua_isnumber(L, -1) != 0;
    field.number = lua_tonumber(L, -1);
    field.boolean = lua_toboolean(L, -1) != 0;
    if (const char* text = lua_tostring(L, -1)) field.text = text;
    lua_pop(L, 1);
  }
  return 0;
}

// The value as the message about it shows it.
std::string describe(lua_State* L, const RawField& field) {
  switch (field.type) {
    case LUA_TNUMBER: {
      if (std::isnan(field.number)) return "nan";
      char text[32];
      snprintf(text, sizeof text, "%.14g", field.number);
      return text;
    }
    case LUA_TSTRING: return "\"" + field.text + "\"";
    case LUA_TBOOLEAN: return field.boolean ? "true" : "false";
    default: return lua_typename(L, field.type);
  }
}

// Each check returns the problem with the field, or an empty text.
std::string checkSize(lua_State* L, const RawField& field, const char* name, int* size) {
  if (!field.numeric || !std::isfinite(field.number) || field.number < 1)
    return std::string("config.") + name + " must be a positive number, got " + describe(L, field);
  *size = luautils::truncateToInt(field.number);
  return "";
}

std::string checkSwitch(lua_State* L, const RawField& field, const char* name, bool* value) {
  if (field.type == LUA_TNIL) return "";
  if (field.type != LUA_TBOOLEAN)
    return std::string("config.") + name + " must be true or false, got " + describe(L, field);
  *value = field.boolean;
  return "";
}

std::string checkText(lua_State* L, const RawField& field, const char* name, std::string* text) {
  if (field.type == LUA_TNIL) return "";
  if (field.type != LUA_TSTRING && field.type != LUA_TNUMBER)
    return std::string("config.") + name + " must be text, got " + describe(L, field);
  *text = field.text;
  return "";
}

// config.identity names the save folder: a plain folder name.
std::string checkIdentity(lua_State* L, const RawField& field) {
  if (field.type == LUA_TNIL) return "";
  if (field.type != LUA_TSTRING || !saves::setIdentity(field.text))
    return "config.identity must be a plain folder name, got " + describe(L, field);
  return "";
}

// config.icon: a picture under assets/textures/ as the window's icon. A file
// that does not decode is logged by the loader and leaves the system's icon.
void setWindowIcon(const std::string& name) {
  if (name.empty()) return;
  if (SDL_Surface* icon = surfaces::loadTexture(name.c_str())) {
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
  }
}

void setNumberGlobal(lua_State* L, const char* name, int value) {
  lua_pushnumber(L, value);
  luautils::setGlobal(L, name);
}

// Loads the script's text as a chunk: named "@main.lua" in development mode,
// so that messages cite main.lua:LINE; otherwise named by the text itself, so
// that messages cite its first line, and development mode switched on later
// by config.debug is told that chunk id.
int loadMainChunk(lua_State* L, const std::string& text) {
  if (diagnostics::mode().debug)
    return luaL_loadbuffer(L, text.c_str(), strlen(text.c_str()), "@main.lua");
  int status = luaL_loadstring(L, text.c_str());
  if (status == 0) {
    lua_Debug chunk;
    lua_pushvalue(L, -1);
    lua_getinfo(L, ">S", &chunk);
    diagnostics::setMainChunkId(chunk.short_src);
  }
  return status;
}

// config.debug = true turns development mode on from here on.
void readConfigDebug(lua_State* L) {
  luautils::pushGlobal(L, "config");
  lua_pushstring(L, "debug");
  lua_rawget(L, -2);
  bool asked = lua_isboolean(L, -1) && lua_toboolean(L, -1);
  lua_pop(L, 2);
  if (!asked || diagnostics::mode().debug) return;
  diagnostics::Mode mode = diagnostics::mode();
  mode.debug = true;
  diagnostics::setMode(mode);
}

// Under --watch, the two folders every start registers become real watches,
// and main.lua, the game's modules and the asset folders are watched too.
void registerWatches(lua_State* L, bool watchAll) {
  if (watchAll) filesystem::enableWatching();
  filesystem::watch("assets/scripts", watchers::edits({".lua"}, watchers::scriptCallback(L)));
  filesystem::watch("assets/shaders/gl210",
                    watchers::edits({".vs", ".fs"}, watchers::shaderCallback()));
  if (!watchAll) return;
  filesystem::watch(MAIN_SCRIPT, watchers::edits({".lua"}, watchers::mainScriptCallback(L)));
  // Every other .lua file of the game, in any folder: the modules it requires.
  filesystem::watchTree(".", watchers::edits({".lua"}, watchers::moduleCallback(L)));
  filesystem::watch("assets/textures", watchers::edits({".png"}, watchers::textureCallback()));
  filesystem::watch("assets/sprites",
                    watchers::edits({".png"}, watchers::spriteCallback("assets/sprites/")));
  // Only games with maps have the folder; the others keep their log as it was.
  if (platform::fileKind("assets/maps") != platform::FileKind::None)
    filesystem::watch("assets/maps", watchers::edits({".tmx", ".tmj", ".tsx", ".tsj", ".json", ".png"},
                                                     watchers::mapCallback()));
}

// After the last frame: the shutdown in its order; the exit status.
int shutdown(const frameloop::Loop& loop) {
  loop.end();
  filesystem::stopWatching();
  diagnostics::reportCounts();
  DLOG(LogLevel::Info, "SDLquit\n");
  audio::clear();
  resources::clear();
  physics::reset(loop.L);
  lua_close(loop.L);
  SDLquit();
  DLOG(LogLevel::Info, "Final quit\n");
  int status = diagnostics::strictFailure() ? 1 : 0;
  platform::ended(status);
  return status;
}
}  // namespace

const char* version() { return TARNWICK_VERSION; }

bool runMainScript(lua_State* L) {
  std::string text, error;
  files::ReadFailure failure;
  if (!files::read(MAIN_SCRIPT, text, error, files::MAX_FILE_BYTES, &failure)) {
    DLOG(LogLevel::Error, "Lua error: cannot %s %s: %s\n",
         failure == files::ReadFailure::CannotOpen ? "open" : "read",
         workingPath(MAIN_SCRIPT).c_str(), error.c_str());
    return false;
  }
  if (loadMainChunk(L, text) != 0) {
    script::logError(L);
    return false;
  }
  return script::call(L, 0, 0);
}

bool readConfig(lua_State* L, GameConfig* config) {
  RawConfig raw;
  if (lua_cpcall(L, readConfigProtected, &raw) != 0) {
    script::logError(L);
    return false;
  }
  const RawField* field = raw.fields;
  for (const std::string& problem :
       {checkSize(L, field[0], "width", &config->width),
        checkSize(L, field[1], "height", &config->height),
        checkText(L, field[2], "title", &config->title),
        checkSwitch(L, field[3], "fullscreen", &config->fullscreen),
        checkSwitch(L, field[4], "resizable", &config->resizable),
        checkSwitch(L, field[5], "vsync", &config->vsync),
        checkSwitch(L, field[6], "quitOnEscape", &config->quitOnEscape),
        checkSwitch(L, field[7], "cursor", &config->cursor),
        checkText(L, field[8], "icon", &config->icon),
        checkIdentity(L, field[9])}) {
    if (problem.empty()) continue;
    DLOG(LogLevel::Error, "%s\n", problem.c_str());
    return false;
  }
  return true;
}

int run(const Options& options) {
  diagnostics::setMode({options.debug, options.strict, options.quiet});
  resources::init();
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  mathrandom::install(L, mathrandom::startingSeed(options));
  gamescripts::install(L);
  openModules(L);
  keys::install(L);
  audio::init();

  DLOG(LogLevel::Info, "Load lua main\n");
  GameConfig config;
  bool started = runMainScript(L);
  if (started) {
    DLOG(LogLevel::Info, "Get size\n");
    started = readConfig(L, &config);
  }
  if (started) readConfigDebug(L);
  if (!started) {
    // Nothing else was started; release what was, so the failure leaks nothing.
    lua_close(L);
    audio::clear();
    resources::clear();
    return 1;
  }
  setNumberGlobal(L, "screenWidth", config.width);
  setNumberGlobal(L, "screenHeight", config.height);

  DLOG(LogLevel::Info, "Init SDL\n");
  screenWidth = designWidth = config.width;
  screenHeight = designHeight = config.height;
  WindowSettings settings;
  settings.windowed = options.windowed || !config.fullscreen;
  settings.resizable = config.resizable;
  settings.vsync = config.vsync;
  settings.title = config.title;
  // On a page Escape leaves full screen; it never closes the page.
  frameloop::quitOnEscape = config.quitOnEscape && !platform::browser();
  SDLstart(config.width, config.height, settings);
  if (config.cursor) app::showCursor(true);
  setWindowIcon(config.icon);
  letterbox::followWindow();

  DLOG(LogLevel::Info, "Init audio\n");
  DLOG(LogLevel::Info, "Init graphics\n");
  gr_init();

  DLOG(LogLevel::Info, "Load assets\n");
  DLOG(LogLevel::Info, "Create textures\n");
  gr_loadTextures("assets/textures/");
  DLOG(LogLevel::Info, "Create sheets\n");
  gr_uploadSheet(resources::createSpriteSheet("assets/sprites/"), 1, 1);
  for (const char* font : {"OLDENGL", "TrashHand"})
    gr_uploadGlyphSheet(resources::loadFont("assets/fonts/", font, 48));

  DLOG(LogLevel::Info, "Call main lua init\n");
  luautils::pushGlobal(L, "init");
  if (lua_isfunction(L, -1))
    script::call(L, 0, 0, "init");
  else
    lua_pop(L, 1);

  DLOG(LogLevel::Info, "Start main loop\n");
  Uint32 lastFrame = SDL_GetTicks();
  gr_clearRenderTargets();
  registerWatches(L, options.watch);

  // The loop outlives this call on a page, where the browser drives it.
  auto loop = std::make_shared<frameloop::Loop>(L, lastFrame, options);
  auto status = std::make_shared<int>(0);
  platform::runFrames([loop] { return loop->step(); },
                      [loop, status] { *status = shutdown(*loop); });
  return *status;
}
}  // namespace host
