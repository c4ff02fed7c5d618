// resources.measureText as scripts call it, with the framework's default font.
#include <gtest/gtest.h>

#include "assets/resources.h"
#include "modules_fixture.h"
#include "support/lua_state.h"

using bindingstest::runScript;
using testsupport::LuaState;

namespace {
struct MeasureText : ::testing::Test {
  LuaState lua;
  static void SetUpTestSuite() {
    if (!resources::ft) resources::init();
  }
  void SetUp() override { bindingstest::openModules(lua); }
  void TearDown() override { resources::clear(); }
};
}  // namespace

TEST_F(MeasureText, WidthHeightAndLinesAgreeWithTheGlyphLookups) {
  runScript(lua,
            "local w, h, n = resources.measureText('', 48, 'l')\n"
            "assert(n == 1 and h > 48, h)\n"
            "assert(w == resources.getGlyphAdvance('default', 'l'), 'size 48 answers once in use')\n"
            "local w2, h2, n2 = resources.measureText('', 48, 'l\\nl')\n"
            "assert(w2 == w and n2 == 2 and h2 > h)\n"
            "assert(select('#', resources.measureText('', 48, '')) == 3)\n"
            "local w0, h0, n0 = resources.measureText('default', 48, '')\n"
            "assert(w0 == 0 and h0 == 0 and n0 == 0)\n"
            "local aa = resources.measureText('', 16, 'aa')\n"
            "local _, _, wrapped = resources.measureText('', 16, 'aa aa', aa + 1)\n"
            "assert(wrapped == 2, wrapped)\n"
            "local ok, err = pcall(resources.measureText, '', 16)\n"
            "assert(not ok and err:find(\"Wrong arguments for overloaded function 'measureText'\", 1, true), err)\n");
}
