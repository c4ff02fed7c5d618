// The graphics module in an interpreter opened as start-up opens it: string
// objects for text, GL handles as boxes, and uniforms that always own their
// bytes. The program calls need the shared test window's context.
#include <gtest/gtest.h>

#include <cstring>

#include "modules_fixture.h"
#include "render/graphics.h"
#include "support/gl_fixture.h"
#include "support/lua_state.h"
#include "swigluarun.h"

using bindingstest::runScript;
using testsupport::LuaState;

namespace {
struct Graphics : ::testing::Test {
  LuaState lua;
  void SetUp() override { bindingstest::openModules(lua); }

  // The record behind the object in global `name`.
  template <typename T>
  T* record(const char* name) {
    lua_getglobal(lua, name);
    auto* object = static_cast<swig_lua_userdata*>(lua_touserdata(lua, -1));
    lua_pop(lua, 1);
    return object ? static_cast<T*>(object->ptr) : nullptr;
  }
};

struct GraphicsWithContext : testsupport::GLTest {
  LuaState lua;
  void SetUp() override { bindingstest::openModules(lua); }
};
}  // namespace

TEST_F(Graphics, TextTravelsInStringObjectsAndHandlesInBoxes) {
  runScript(lua,
            "assert(rawget(graphics, 'MAX_ATTRIBUTES') == 6)\n"
            "expectError(function() graphics.gr_getRenderTarget('glow') end,\n"
            "            \"game:2: Error in gr_getRenderTarget (arg 1), expected 'std::string const &' got 'string'\")\n"
            "assert(graphics.gr_getRenderTarget(resources.string('nowhere')) == nil)\n"
            "expectError(function() graphics.gr_useProgram(1) end,\n"
            "            \"game:5: Error in gr_useProgram (arg 1), expected 'GLuint' got 'number'\")\n"
            "graphics.gr_render(nil)\n"
            "local batch = graphics.Batch()\n"
            "local name = batch.targetName\n"
            "assert(swig_type(name) == 'std::string *' and name:c_str() == '' and name:empty())\n"
            "batch.targetName = resources.string('glow')\n"
            "assert(batch.targetName:c_str() == 'glow')\n"
            "expectError(function() batch.targetName = 'glow' end,\n"
            "            \"Error in Batch::targetName (arg 2), expected 'std::string' got 'string'\")\n"
            "-- the copy outlives its batch\n"
            "name = batch.targetName; batch = nil; collectgarbage()\n"
            "assert(name:c_str() == 'glow')\n"
            "local box = graphics.Batch().program\n"
            "assert(swig_type(box) == 'GLuint *' and getmetatable(box) == nil)\n"
            "expectError(function() graphics.Uniform(4) end,\n"
            "            \"Wrong arguments for overloaded function 'new_Uniform'\\n\"\n"
            "            .. '  Possible C/C++ prototypes are:\\n'\n"
            "            .. '    Uniform::Uniform()\\n'\n"
            "            .. '    Uniform::Uniform(size_t,void *)\\n'\n"
            "            .. '    Uniform::Uniform(Uniform const &)\\n')\n"
            "expectError(function() graphics.Batch().attributeSizes = nil end,\n"
            "            \"Error in Batch_attributeSizes_set (arg 2), expected 'int *' got 'nil'\")\n");
}

// A script's pointer has no length, so a uniform never takes it over (it would
// free it later): it owns `size` bytes, copied from a box whose length is known
// and zero otherwise.
TEST_F(Graphics, UniformsOwnTheirBytes) {
  renderTargets["boxed"] = RenderTarget{0x04030201, 9, 1, 1};
  runScript(lua,
            "local sheet = resources.Sheet()\n"
            "sheet.width = 5\n"
            "fromSheet = graphics.Uniform(8, sheet)\n"
            "assigned = graphics.Uniform(4, nil)\n"
            "assigned.value = sheet\n"
            "collectgarbage()\n"
            "assert(sheet.width == 5)\n"
            "local target = graphics.gr_getRenderTarget(resources.string('boxed'))\n"
            "fromBox = graphics.Uniform(16, target.frameBuffer)\n"
            "copy = graphics.Uniform(fromBox)\n"
            "copy.size = 2\n"
            "grown = graphics.Uniform(fromBox)\n"
            "grown.size = 64\n"
            "roundTrip = graphics.Uniform(4, fromBox.value)\n"
            "empty = graphics.Uniform()\n"
            "assert(empty.value == nil and empty.size == 0)\n");
  const unsigned char zeros[16] = {};
  Uniform* fromSheet = record<Uniform>("fromSheet");
  ASSERT_TRUE(fromSheet && fromSheet->value);
  EXPECT_EQ(fromSheet->size, 8u);
  EXPECT_EQ(std::memcmp(fromSheet->value, zeros, 8), 0);
  EXPECT_EQ(std::memcmp(record<Uniform>("assigned")->value, zeros, 4), 0);

  // A GLuint box holds four bytes: the rest of the sixteen stay zero, and a
  // grown copy keeps its bytes.
  const unsigned char handle[16] = {1, 2, 3, 4};
  for (const char* name : {"fromBox", "grown"}) {
    Uniform* uniform = record<Uniform>(name);
    ASSERT_TRUE(uniform->value) << name;
    EXPECT_EQ(std::memcmp(uniform->value, handle, 16), 0) << name;
  }
  EXPECT_EQ(record<Uniform>("grown")->size, 64u);
  EXPECT_EQ(std::memcmp(static_cast<char*>(record<Uniform>("grown")->value) + 48, zeros, 16), 0);
  EXPECT_EQ(record<Uniform>("copy")->size, 2u);
  EXPECT_EQ(std::memcmp(record<Uniform>("copy")->value, handle, 2), 0);
  EXPECT_EQ(std::memcmp(record<Uniform>("roundTrip")->value, handle, 4), 0);
  renderTargets.erase("boxed");
}

TEST_F(GraphicsWithContext, ProgramsAreHandedOutAndTakenBackAsBoxes) {
  runScript(lua,
            "program = graphics.gr_createProgram('simple', 'simple')\n"
            "assert(swig_type(program) == 'GLuint *' and getmetatable(program) == nil)\n"
            "graphics.gr_useProgram(program)\n"
            "cached = graphics.gr_getProgram(resources.string('simple'), resources.string('simple'))\n"
            "tint = graphics.Uniform(4, cached)\n"
            "local batch = graphics.Batch()\n"
            "batch.program = program\n"
            "assert(swig_equals(batch.program, program) == false)\n"
            "graphics.gr_useProgram(batch.program)\n");
  lua_getglobal(lua, "tint");
  auto* tint = static_cast<Uniform*>(static_cast<swig_lua_userdata*>(lua_touserdata(lua, -1))->ptr);
  lua_getglobal(lua, "program");
  GLuint program = *static_cast<GLuint*>(static_cast<swig_lua_userdata*>(lua_touserdata(lua, -1))->ptr);
  lua_pop(lua, 2);
  EXPECT_NE(program, 0u);
  GLint bound = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), program);
  GLuint copied = 0;
  std::memcpy(&copied, tint->value, sizeof copied);
  EXPECT_EQ(copied, gr_programs["simple"]["simple"]);
}

// Every read of the program cache is a snapshot of its own; assigning one
// replaces the whole cache with a copy. The snapshots are freed with their
// boxes (the sanitizer build would report them otherwise).
TEST_F(Graphics, TheProgramCacheTravelsAsSnapshots) {
  using Cache = std::map<std::string, std::map<std::string, GLuint>>;
  gr_programs = Cache{{"a", {{"b", 7}}}};
  runScript(lua,
            "first = graphics.gr_programs\n"
            "assert(swig_type(first) == 'std::map< std::string,std::map< std::string,GLuint > > *')\n"
            "assert(swig_equals(first, graphics.gr_programs) == false)\n"
            "assert(getmetatable(first) == false)\n"
            "expectError(function() graphics.gr_programs = nil end,\n"
            "            \"Error in gr_programs (arg 1), expected 'std::map< std::string,std::map< "
            "std::string,GLuint > >' got 'nil'\")\n");
  gr_programs["c"]["d"] = 9;  // later programs do not reach the snapshot
  runScript(lua,
            "for i = 1, 100 do local dropped = graphics.gr_programs end\n"
            "graphics.gr_programs = first\n"
            "first = nil\n"
            "collectgarbage()\n");
  EXPECT_EQ(gr_programs, (Cache{{"a", {{"b", 7}}}}));
  gr_programs.clear();
}
