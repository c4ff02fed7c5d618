// Key names: SDL's own (the part of SDLK_NAME after SDLK_, in lower case),
// plus `enter` for `return`, which Lua only accepts as keys["return"].
#include "host/keys.h"

#include <SDL.h>

#include <string>

namespace keys {
namespace {
struct Named {
  const char* name;
  SDL_Keycode code;
};

// Letters, digits, F1 .. F12 and the keypad digits are added in install().
const Named NAMED[] = {
    {"return", SDLK_RETURN},        {"enter", SDLK_RETURN},
    {"escape", SDLK_ESCAPE},        {"backspace", SDLK_BACKSPACE},
    {"tab", SDLK_TAB},              {"space", SDLK_SPACE},
    {"minus", SDLK_MINUS},          {"equals", SDLK_EQUALS},
    {"leftbracket", SDLK_LEFTBRACKET}, {"rightbracket", SDLK_RIGHTBRACKET},
    {"backslash", SDLK_BACKSLASH},  {"semicolon", SDLK_SEMICOLON},
    {"quote", SDLK_QUOTE},          {"backquote", SDLK_BACKQUOTE},
    {"comma", SDLK_COMMA},          {"period", SDLK_PERIOD},
    {"slash", SDLK_SLASH},          {"capslock", SDLK_CAPSLOCK},
    {"printscreen", SDLK_PRINTSCREEN}, {"scrolllock", SDLK_SCROLLLOCK},
    {"pause", SDLK_PAUSE},          {"insert", SDLK_INSERT},
    {"home", SDLK_HOME},            {"pageup", SDLK_PAGEUP},
    {"delete", SDLK_DELETE},        {"end", SDLK_END},
    {"pagedown", SDLK_PAGEDOWN},    {"right", SDLK_RIGHT},
    {"left", SDLK_LEFT},            {"down", SDLK_DOWN},
    {"up", SDLK_UP},                {"numlockclear", SDLK_NUMLOCKCLEAR},
    {"kp_divide", SDLK_KP_DIVIDE},  {"kp_multiply", SDLK_KP_MULTIPLY},
    {"kp_minus", SDLK_KP_MINUS},    {"kp_plus", SDLK_KP_PLUS},
    {"kp_enter", SDLK_KP_ENTER},    {"kp_period", SDLK_KP_PERIOD},
    {"lctrl", SDLK_LCTRL},          {"lshift", SDLK_LSHIFT},
    {"lalt", SDLK_LALT},            {"lgui", SDLK_LGUI},
    {"rctrl", SDLK_RCTRL},          {"rshift", SDLK_RSHIFT},
    {"ralt", SDLK_RALT},            {"rgui", SDLK_RGUI},
    {"application", SDLK_APPLICATION},
};

void set(lua_State* L, const std::string& name, SDL_Keycode code) {
  lua_pushnumber(L, code);
  lua_setfield(L, -2, name.c_str());
}
}  // namespace

void install(lua_State* L) {
  lua_newtable(L);
  for (const Named& key : NAMED) set(L, key.name, key.code);
  for (char letter = 'a'; letter <= 'z'; ++letter) set(L, std::string(1, letter), letter);
  for (int digit = 0; digit <= 9; ++digit) {
    set(L, std::to_string(digit), SDLK_0 + digit);
    // SDLK_KP_1 .. SDLK_KP_9 follow each other; SDLK_KP_0 comes after them.
    set(L, "kp_" + std::to_string(digit), digit == 0 ? SDLK_KP_0 : SDLK_KP_1 + digit - 1);
  }
  for (int number = 1; number <= 12; ++number)
    set(L, "f" + std::to_string(number), SDLK_F1 + number - 1);
  lua_setglobal(L, "keys");
}
}  // namespace keys
