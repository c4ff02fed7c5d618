// The resources module in an interpreter opened as start-up opens it: argument
// checks and messages, objects for registry records, the string class and the
// TEMP_DIR slot.
#include <gtest/gtest.h>

#include "assets/resources.h"
#include "modules_fixture.h"
#include "support/lua_state.h"

using bindingstest::runScript;
using testsupport::LuaState;

namespace {
struct Resources : ::testing::Test {
  LuaState lua;
  void SetUp() override { bindingstest::openModules(lua); }
};
}  // namespace

TEST_F(Resources, WrongCallsRaiseTheFixedMessages) {
  runScript(lua,
            "expectError(function() resources.getSprite() end,\n"
            "            'game:1: Error in resources::getSprite expected 1..1 args, got 0')\n"
            "expectError(function() resources.getFont('OLDENGL', -1) end, 'game:3: number must not be negative')\n"
            "expectError(function() resources.getUVs(resources.Sheet(), nil, 3, 9) end,\n"
            "            \"game:4: Error in getUVs (arg 1), expected 'resources::Sprite *' got 'resources::Sheet *'\")\n"
            "expectError(function() resources.loadFont('assets/fonts/', 'OLDENGL') end,\n"
            "            \"game:6: Wrong arguments for overloaded function 'loadFont'\\n\"\n"
            "            .. '  Possible C/C++ prototypes are:\\n'\n"
            "            .. '    resources::loadFont(char const *,char const *,unsigned int,char const *)\\n'\n"
            "            .. '    resources::loadFont(char const *,char const *,unsigned int)\\n')\n"
            "expectError(function() resources.string('a', 'b') end,\n"
            "            \"Wrong arguments for overloaded function 'new_string'\\n\"\n"
            "            .. '  Possible C/C++ prototypes are:\\n'\n"
            "            .. '    std::string::string()\\n'\n"
            "            .. '    std::string::string(char const *)\\n')\n"
            "expectError(function() resources.getTexture(nil) end,\n"
            "            \"game:16: Error in resources::getTexture (arg 1), expected 'std::string const &' got 'nil'\")\n");
}

TEST_F(Resources, RegisteredSheetsComeOutAsSharedObjects) {
  resources::Sheet sheet;
  sheet.width = 64;
  sheet.height = 32;
  sheet.texture = 7;
  resources::textures["card"] = &sheet;
  runScript(lua,
            "assert(resources.getTexture('nowhere') == nil)\n"
            "local a, b = resources.getTexture('card'), resources.getTexture('card')\n"
            "assert(a.width == 64 and a.height == 32 and a.texture == 7)\n"
            "assert(not rawequal(a, b) and a == b and swig_equals(a, b) == true)\n"
            "assert(swig_type(a) == 'resources::Sheet *')\n"
            "a.width = 16\n"
            "a = nil; b = nil; collectgarbage()\n");
  resources::textures.erase("card");
  EXPECT_EQ(sheet.width, 16) << "writes reach the registered record, which stays the registry's";
}

TEST_F(Resources, NewRecordsHaveZeroFieldsAndOnlyTheirOwnMembers) {
  resources::Sheet registered;
  resources::textures["card"] = &registered;
  runScript(lua,
            "local sheet = resources.Sheet()\n"
            "assert(swig_type(sheet) == 'resources::Sheet *')\n"
            "assert(sheet.width == 0 and sheet.texture == 0 and sheet.data == nil and sheet.missing == nil)\n"
            "expectError(function() sheet.missing = 1 end, 'game:4: Assignment not possible. No setter/member with"
            " this name. For custom assignments implement __setitem method.')\n"
            "local sprite = resources.Sprite()\n"
            "sprite.sheet = resources.getTexture('card')\n"
            "assert(sprite.sheet == resources.getTexture('card') and swig_type(sprite.uv) == 'float (*)[2]')\n"
            "local glyph = resources.Glyph()\n"
            "glyph.sprite = sprite\n"
            "assert(glyph.sprite.sheet == sprite.sheet)\n"
            "glyph.sprite.width = 9\n"
            "assert(glyph.sprite.width == 9 and sprite.width == 0)\n"
            "resources.extra = 5\n"
            "assert(resources.extra == 5)\n");
  resources::textures.erase("card");
  runScript(lua, "sheet = resources.Sheet()\ntext = tostring(sheet)");
  lua_getglobal(lua, "sheet");
  const char* expected = lua_pushfstring(lua, "<Sheet userdata: %p>", lua_topointer(lua, -1));
  lua_getglobal(lua, "text");
  EXPECT_STREQ(lua_tostring(lua, -1), expected);
  lua_pop(lua, 3);
}

// Setters that copy a record, an array or a map read through the given value,
// and getUVs writes through its vertices: nil is refused with the usual form.
TEST_F(Resources, NilIsRefusedWhereItWouldBeReadOrWrittenThrough) {
  runScript(lua,
            "local glyph, sprite, font = resources.Glyph(), resources.Sprite(), resources.Font()\n"
            "expectError(function() glyph.sprite = nil end,\n"
            "            \"Error in Glyph_sprite_set (arg 2), expected 'resources::Sprite *' got 'nil'\")\n"
            "expectError(function() sprite.uv = nil end,\n"
            "            \"Error in Sprite_uv_set (arg 2), expected 'float (*)[2]' got 'nil'\")\n"
            "expectError(function() font.glyphs = nil end,\n"
            "            \"Error in Font_glyphs_set (arg 2), expected 'std::map< char,resources::Glyph > *' got 'nil'\")\n"
            "expectError(function() resources.getUVs(sprite, nil, 3, 9) end,\n"
            "            \"game:8: Error in getUVs (arg 2), expected 'float *' got 'nil'\")\n"
            "expectError(function() getmetatable(sprite)['.get'].width(nil) end,\n"
            "            \"game:10: Error in Sprite_width_get (arg 1), expected 'resources::Sprite *' got 'nil'\")\n"
            "sprite.uv = resources.Sprite().uv\n"
            "font.glyphs = resources.Font().glyphs\n");
}

// A member record, array or map is handed out as a pointer into its object's
// record, so the object must outlive it (the sanitizer build sees any misuse).
TEST_F(Resources, PartsOfARecordKeepTheirObjectAlive) {
  runScript(lua,
            "local sprite = resources.Glyph().sprite\n"
            "local uv = resources.Sprite().uv\n"
            "local glyphs = resources.Font().glyphs\n"
            "local sizes = graphics.Batch().attributeSizes\n"
            "collectgarbage(); collectgarbage()\n"
            "sprite.width = 3\n"
            "assert(sprite.width == 3)\n"
            "resources.Sprite().uv = uv\n"
            "resources.Font().glyphs = glyphs\n"
            "graphics.Batch().attributeSizes = sizes\n");
}

TEST_F(Resources, StringObjects) {
  runScript(lua,
            "local s = resources.string('abc')\n"
            "assert(swig_type(s) == 'std::string *')\n"
            "assert(s:size() == 3 and s:length() == 3 and s:empty() == false and s:c_str() == 'abc')\n"
            "s:assign('hello')\n"
            "assert(s:data() == 'hello' and resources.string():empty() == true)\n"
            "expectError(function() s:assign(nil) end,\n"
            "            \"game:6: Error in std::string::assign (arg 2), expected 'char const *' got 'nil'\")\n");
}

TEST_F(Resources, TempDirIsCopiedReplacedAndClearedByNil) {
  runScript(lua,
            "assert(resources.TEMP_DIR == nil)\n"
            "local dir = 'tmp/'\n"
            "resources.TEMP_DIR = dir\n"
            "resources.TEMP_DIR = dir .. 'cache'\n"
            "assert(resources.TEMP_DIR == 'tmp/cache')\n"
            "resources.TEMP_DIR = 12\n"
            "assert(resources.TEMP_DIR == '12')\n"
            "expectError(function() resources.TEMP_DIR = {} end,\n"
            "            \"Error in resources::TEMP_DIR (arg 1), expected 'char *' got 'table'\")\n");
  ASSERT_NE(resources::TEMP_DIR, nullptr);
  EXPECT_STREQ(resources::TEMP_DIR, "12");
  runScript(lua, "resources.TEMP_DIR = nil\nassert(resources.TEMP_DIR == nil)\n");
  EXPECT_EQ(resources::TEMP_DIR, nullptr);
  // Left set: the slot's last buffer is released at exit.
  runScript(lua, "resources.TEMP_DIR = 'kept'\n");
}
