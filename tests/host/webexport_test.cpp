// --export-web: the folder it writes from a runtime it finds, a game's own
// page, and the line it gives when there is no runtime to copy.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "support/game_run.h"

using namespace testsupport;

namespace {
std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The runtime the export copies from, for the runs of one test.
class WebRuntime {
 public:
  explicit WebRuntime(const std::string& folder) {
    setenv("TARNWICK_WEB_RUNTIME", folder.c_str(), 1);
  }
  ~WebRuntime() { unsetenv("TARNWICK_WEB_RUNTIME"); }
};
}  // namespace

TEST(WebExport, WritesThePageTheRuntimeAndTheGamesArchive) {
  GameFolder runtime, out;
  runtime.write("tarnwick.js", "// runtime script");
  runtime.write("tarnwick.wasm", std::string("\0asm\1\0\0\0", 8));
  // The game's folder name becomes the page's title and save key: HTML-escaped.
  GameFolder parent;
  std::string game = parent.file("Tom & \"Jerry\" <2>");
  parent.write("Tom & \"Jerry\" <2>/main.lua", "config = { width = 64, height = 48 }\n");
  parent.write("Tom & \"Jerry\" <2>/assets/data/level.txt", "3 rooms");
  WebRuntime found(runtime.path());

  GameRun exported = runTarnwick({"--export-web", game, out.file("site")});
  ASSERT_EQ(exported.exitStatus, 0) << exported.out << exported.err;
  EXPECT_NE(exported.out.find("Exported " + game + " into " + out.file("site")),
            std::string::npos);
  EXPECT_EQ(slurp(out.file("site/tarnwick.js")), "// runtime script");
  EXPECT_EQ(slurp(out.file("site/tarnwick.wasm")).size(), 8u);
  std::string page = slurp(out.file("site/index.html"));
  EXPECT_NE(page.find("<title>Tom &amp; &quot;Jerry&quot; &lt;2&gt;</title>"), std::string::npos)
      << page;
  EXPECT_NE(page.find("data-game=\"Tom &amp; &quot;Jerry&quot; &lt;2&gt;\""), std::string::npos);
  EXPECT_EQ(page.find("{{GAME}}"), std::string::npos);
  EXPECT_NE(slurp(out.file("site/tarnwick-page.js")).find("tarnwick.wasm"), std::string::npos);
  // The archive is the one --package writes.
  ASSERT_EQ(runTarnwick({"--package", game, out.file("packaged.zip")}).exitStatus, 0);
  EXPECT_EQ(slurp(out.file("site/game.zip")), slurp(out.file("packaged.zip")));

  // A game's own page replaces the framework's.
  parent.write("Tom & \"Jerry\" <2>/web/index.html", "<h1>{{GAME}} by us</h1>\n");
  ASSERT_EQ(runTarnwick({"--export-web", game, out.file("own")}).exitStatus, 0);
  EXPECT_EQ(slurp(out.file("own/index.html")),
            "<h1>Tom &amp; &quot;Jerry&quot; &lt;2&gt; by us</h1>\n");
}

TEST(WebExport, WithoutARuntimeSaysHowToBuildOneAndExitsOne) {
  GameFolder game, empty, out;
  game.writeMain("config = { width = 64, height = 48 }\n");
  WebRuntime missing(empty.path());
  GameRun run = runTarnwick({"--export-web", game.path(), out.file("site")});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err,
            "tarnwick: cannot export '" + game.path() +
                "' for the web: no web runtime (tarnwick.js and tarnwick.wasm) was found: build "
                "it with scripts/build-web.sh from the source repository, install it with cmake "
                "--install build/web, or name its folder in TARNWICK_WEB_RUNTIME\n");
  EXPECT_FALSE(std::ifstream(out.file("site/game.zip")).good());
}
