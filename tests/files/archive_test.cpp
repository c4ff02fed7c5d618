// The file layer over archives: what a mounted game reads, lists and opens,
// what a bad archive says, and the archive --package writes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>
#include <zip.h>

#include <fstream>

#include "files/files.h"
#include "files/package.h"
#include "files/paths.h"
#include "support/game_run.h"

using testsupport::GameFolder;

namespace {
std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An archive holding exactly the given entries, written with libzip.
void writeZip(const std::string& path,
              const std::vector<std::pair<std::string, std::string>>& entries) {
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(zip, nullptr);
  for (const auto& entry : entries) {
    zip_source_t* source = zip_source_buffer(zip, entry.second.data(), entry.second.size(), 0);
    ASSERT_GE(zip_file_add(zip, entry.first.c_str(), source, 0), 0);
  }
  ASSERT_EQ(zip_close(zip), 0);
}

struct Unmount {
  ~Unmount() { files::unmount(); }
};
}  // namespace

TEST(Paths, NormaliseAndResolveCollapseSeparatorsAndRefuseWhatLeavesTheGame) {
  std::string normal;
  ASSERT_TRUE(paths::normaliseInGame("assets/textures//./x.png", normal));
  EXPECT_EQ(normal, "assets/textures/x.png");
  ASSERT_TRUE(paths::normaliseInGame("./a/b/../c/", normal));
  EXPECT_EQ(normal, "a/c");
  ASSERT_TRUE(paths::normaliseInGame(".", normal));
  EXPECT_EQ(normal, "");
  for (const char* bad : {"/etc/passwd", "../x", "a/../../x", "a\\..\\x"})
    EXPECT_FALSE(paths::normaliseInGame(bad, normal)) << bad;
  EXPECT_FALSE(paths::normaliseInGame(std::string("a\0b", 3), normal));
  ASSERT_TRUE(paths::resolveInGame("/abs/maps/a.tmx", "../t.tsx", normal));
  EXPECT_EQ(normal, "/abs/t.tsx");
  EXPECT_FALSE(paths::resolveInGame("maps/a.tmx", "../../t.tsx", normal));
  // Names some system refuses are refused everywhere; their near misses are not.
  for (const char* good : {"slot1.sav", "console", "COM10", "LPT0", "nul_", "a.b c", "é.sav"})
    EXPECT_TRUE(paths::plainName(good)) << good;
  for (const char* bad : {"", ".", "..", ".hidden", "a/b", "/abs", "a\\b", "a:b", "a*", "a?",
                          "a\"b", "a<b", "a>b", "a|b", "tab\tname", "end.", "end ", "CON",
                          "nul.txt", "Com1.sav", "lpt9", "aux .x", "prn.tar.gz"})
    EXPECT_FALSE(paths::plainName(bad)) << bad;
  EXPECT_FALSE(paths::plainName(std::string(256, 'a')));
}

TEST(Archive, AMountedGameIsReadListedAndOpenedFromItsTopFolder) {
  GameFolder dir;
  std::string zip = dir.file("game.zip");
  std::string binary("\x89PNG\0\x01\x02", 7);
  writeZip(zip, {{"game/main.lua", "print 'hi'"},
                 {"game/assets/textures/a.png", binary},
                 {"game/assets/textures/sub/b.png", "b"},
                 {"game/empty.txt", ""},
                 {"__MACOSX/game/._main.lua", "resource fork"},
                 {".DS_Store", "a stray file beside the top folder"}});
  Unmount unmount;
  std::string error, bytes;
  ASSERT_TRUE(files::mountArchive(zip, 0, 0, error)) << error;
  EXPECT_TRUE(files::archiveMounted());
  EXPECT_TRUE(files::exists("main.lua"));
  EXPECT_TRUE(files::exists("assets//textures/./a.png"));
  EXPECT_FALSE(files::exists("assets/textures"));
  ASSERT_TRUE(files::read("assets/textures/a.png", bytes, error));
  EXPECT_EQ(bytes, binary);
  EXPECT_EQ(files::list("assets/textures/"), (std::vector<std::string>{"a.png", "sub"}));
  EXPECT_EQ(files::list(""), (std::vector<std::string>{"assets", "empty.txt", "main.lua"}));
  EXPECT_TRUE(files::list("nothing").empty());

  // A stream that seeks (the shader reader sizes files that way), and an
  // empty entry, which fmemopen would refuse.
  FILE* file = files::open("assets/textures/a.png", "rb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(fseek(file, 0, SEEK_END), 0);
  EXPECT_EQ(ftell(file), 7);
  rewind(file);
  char head[4] = {};
  EXPECT_EQ(fread(head, 1, 4, file), 4u);
  EXPECT_EQ(std::string(head, 4), "\x89PNG");
  fclose(file);
  file = files::open("empty.txt", "r");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(fgetc(file), EOF);
  fclose(file);
  errno = 0;
  EXPECT_EQ(files::open("main.lua", "w"), nullptr);
  EXPECT_EQ(errno, EROFS);
  EXPECT_EQ(files::open("missing.lua", "r"), nullptr);
  EXPECT_EQ(errno, ENOENT);
  // An absolute path is still the disk's: the framework's own files.
  EXPECT_TRUE(files::exists(zip));
}

TEST(Archive, EntriesThatLeaveTheGameAndOversizedOnesAreNeverRead) {
  GameFolder dir;
  std::string zip = dir.file("escape.zip");
  writeZip(zip, {{"main.lua", ""}, {"../../x", "outside"}, {"/abs", "outside"},
                 {"big.bin", std::string(4096, 'z')}});
  Unmount unmount;
  std::string error, bytes;
  testing::internal::CaptureStdout();
  ASSERT_TRUE(files::mountArchive(zip, 0, 0, error)) << error;
  std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("Archive entry ../../x leaves the game; ignored\n"), std::string::npos) << log;
  EXPECT_FALSE(files::read("../../x", bytes, error));
  EXPECT_FALSE(files::exists("x"));
  EXPECT_EQ(files::list(""), (std::vector<std::string>{"big.bin", "main.lua"}));
  // The declared size is checked before anything is inflated.
  EXPECT_FALSE(files::read("big.bin", bytes, error, 1000));
  EXPECT_EQ(error, "larger than 1000 bytes");
  EXPECT_TRUE(files::read("big.bin", bytes, error, 4096));
}

TEST(Archive, BadArchivesAreRefusedWithAReasonAndLeaveTheMountAsItWas) {
  GameFolder dir;
  std::string good = dir.file("good.zip"), noMain = dir.file("nomain.zip");
  writeZip(good, {{"main.lua", "x = 1"}});
  writeZip(noMain, {{"a/main.lua", ""}, {"b/other.lua", ""}});
  std::string whole = slurp(good);
  dir.write("truncated.zip", whole.substr(0, whole.size() / 2));
  std::string corrupt = whole;
  corrupt[corrupt.size() - 22 + 16] ^= 0x55;  // the central directory's offset
  dir.write("corrupt.zip", corrupt);
  dir.write("text.zip", "not an archive at all");
  std::string error;
  for (const char* bad : {"truncated.zip", "corrupt.zip", "text.zip", "missing.zip"}) {
    EXPECT_FALSE(files::mountArchive(dir.file(bad), 0, 0, error)) << bad;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
  EXPECT_FALSE(files::mountArchive(noMain, 0, 0, error));
  EXPECT_EQ(error, "has no main.lua");
  EXPECT_FALSE(files::archiveMounted());
}

TEST(Package, TheArchiveIsSortedStampedWithoutDotFilesAndTheSameEveryTime) {
  GameFolder game;
  game.writeMain("print 'x'");
  game.write("assets/textures/b.png", "png bytes");
  game.write("assets/a.lua", "return 1");
  game.write(".git/config", "secret");
  game.write("assets/.notes", "secret");
  GameFolder out;
  std::string error;
  ASSERT_TRUE(package::write(game.path(), out.file("one.zip"), {}, error)) << error;
  struct utimbuf later = {1000000000, 1000000000};
  utime(game.file("main.lua").c_str(), &later);
  ASSERT_TRUE(package::write(game.path(), out.file("two.zip"), {}, error)) << error;
  EXPECT_EQ(slurp(out.file("one.zip")), slurp(out.file("two.zip")));

  int code = 0;
  zip_t* zip = zip_open(out.file("one.zip").c_str(), ZIP_RDONLY, &code);
  ASSERT_NE(zip, nullptr);
  std::vector<std::string> names;
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i)
    names.push_back(zip_get_name(zip, static_cast<zip_uint64_t>(i), 0));
  zip_stat_t stat;
  ASSERT_EQ(zip_stat(zip, "assets/textures/b.png", 0, &stat), 0);
  EXPECT_EQ(stat.comp_method, ZIP_CM_STORE);
  zip_discard(zip);
  EXPECT_EQ(names, (std::vector<std::string>{"assets/a.lua", "assets/textures/b.png", "main.lua"}));

  GameFolder empty;
  EXPECT_FALSE(package::write(empty.path(), out.file("three.zip"), {}, error));
  EXPECT_NE(error.find("has no main.lua"), std::string::npos);
}

TEST(Package, TheIgnoreFileLeavesOutWhatItNamesAsAGitignoreWould) {
  GameFolder game, out;
  game.writeMain("print 'x'");
  game.write(".tarnwickignore",
             "# comments and blank lines are skipped\n"
             "\n"
             "tests/\n"
             "*.psd\n"
             "!assets/cover.psd\n"
             "/notes.txt\n"
             "docs/**/draft.md\n"
             "tools/*\n"
             "!tools/keep.lua\n"
             "cache/  \n");
  for (const char* name :
       {"tests/a_test.lua", "assets/art.psd", "assets/deep/x.psd", "assets/cover.psd", "notes.txt",
        "sub/notes.txt", "docs/draft.md", "docs/a/b/draft.md", "docs/final.md", "tools/build.sh",
        "tools/keep.lua", "assets/cache/x", "assets/cache.txt", "testsuite.lua"})
    game.write(name, "x");
  std::string error;
  ASSERT_TRUE(package::write(game.path(), out.file("game.zip"), {}, error)) << error;
  int code = 0;
  zip_t* zip = zip_open(out.file("game.zip").c_str(), ZIP_RDONLY, &code);
  ASSERT_NE(zip, nullptr);
  std::vector<std::string> names;
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i)
    names.push_back(zip_get_name(zip, static_cast<zip_uint64_t>(i), 0));
  zip_discard(zip);
  EXPECT_EQ(names, (std::vector<std::string>{"assets/cache.txt", "assets/cover.psd",
                                             "docs/final.md", "main.lua", "sub/notes.txt",
                                             "testsuite.lua", "tools/keep.lua"}));

  game.write(".tarnwickignore", "*.lua\n");
  EXPECT_FALSE(package::write(game.path(), out.file("none.zip"), {}, error));
  EXPECT_EQ(error, "its .tarnwickignore leaves out main.lua");
}
