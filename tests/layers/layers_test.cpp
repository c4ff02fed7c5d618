// The layers of src/ (docs/architecture.md) as a table, and a check of the
// sources against it: no include from a folder above, no library linking one
// above, GL called only where the table allows it, and no Lua header reached,
// directly or through other headers, where the table forbids Lua, and no
// system test or system call outside platform/. A folder
// under src/ that the table does not list fails the check, so a new subsystem
// is placed on purpose: one line below. Also: architecture.md's table of what
// each library links is what the build links, and the script modules list
// what they expose rather than taking a layer's header whole.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
struct Layer {
  std::string folder;
  std::vector<std::string> below;  // the folders right beneath it
  bool callsGL;                    // may call gl* functions
  bool seesLua;                    // may include Lua headers
};

const std::vector<Layer> LAYERS = {
    {"platform", {}, false, false},
    {"core", {"platform"}, false, true},
    {"files", {"core"}, false, false},
    {"assets", {"files"}, false, true},
    {"audio", {"files"}, false, true},
    {"maps", {"assets"}, false, false},
    {"render", {"assets"}, true, false},
    {"scene", {"render", "maps"}, false, true},
    {"physics", {"scene"}, false, true},
    {"bindings", {"physics", "audio"}, false, true},
    {"host", {"bindings"}, false, true},
};

// Libraries named otherwise than tw_FOLDER, and their folder.
const std::map<std::string, std::string> LIBRARY_FOLDERS = {{"tw_modules", "bindings"}};

std::string read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The text with comments, string literals and character literals blanked, so
// that a comment naming glClear is no call.
std::string codeOf(const std::string& text) {
  std::string code = text;
  enum { CODE, LINE, BLOCK, STRING, CHAR } state = CODE;
  auto blank = [&](size_t i) {
    if (i < code.size() && code[i] != '\n') code[i] = ' ';
  };
  for (size_t i = 0; i < code.size(); ++i) {
    char c = code[i], next = i + 1 < code.size() ? code[i + 1] : '\0';
    if (state == CODE) {
      if (c == '/' && next == '/') state = LINE;
      else if (c == '/' && next == '*') state = BLOCK, blank(i++);
      else if (c == '"') state = STRING;
      else if (c == '\'') state = CHAR;
      else continue;
    } else if (state == LINE) {
      if (c == '\n') state = CODE;
    } else if (state == BLOCK) {
      if (c == '*' && next == '/') state = CODE, blank(i++);
    } else if (c == '\\') {
      blank(i++);
    } else if (c == (state == STRING ? '"' : '\'')) {
      state = CODE;
    }
    blank(i);
  }
  return code;
}

class LayerCheck {
 public:
  explicit LayerCheck(const fs::path& src) : src_(fs::canonical(src)) {
    for (const Layer& layer : LAYERS) layers_[layer.folder] = &layer;
  }

  std::vector<std::string> problems() {
    for (const auto& entry : fs::directory_iterator(src_))
      if (entry.is_directory() && !layers_.count(entry.path().filename().string()))
        report("src/" + entry.path().filename().string() +
               " is in no layer: add it to LAYERS in tests/layers/layers_test.cpp and to "
               "docs/architecture.md");
    for (const Layer& layer : LAYERS) {
      if (!fs::is_directory(src_ / layer.folder))
        report("LAYERS lists " + layer.folder + ", which src/ does not hold");
      for (const std::string& below : layer.below)
        if (!layers_.count(below)) report(layer.folder + " rests on " + below + ", not a layer");
    }
    for (const auto& entry : fs::recursive_directory_iterator(src_)) {
      std::string name = entry.path().filename().string();
      if (entry.is_regular_file() && name == "CMakeLists.txt") checkLinks(entry.path());
      if (!entry.is_regular_file() || !std::regex_search(name, std::regex("\\.(h|cpp|i)$")))
        continue;
      const Layer* layer = layerOf(entry.path());
      if (!layer) continue;
      checkSource(entry.path(), *layer);
    }
    return found_;
  }

 private:
  void report(const std::string& what) { found_.push_back(what); }

  std::string relative(const fs::path& path) const {
    return fs::relative(path, src_).generic_string();
  }

  const Layer* layerOf(const fs::path& path) const {
    std::string first = fs::relative(path, src_).begin()->string();
    auto found = layers_.find(first);
    return found == layers_.end() ? nullptr : found->second;
  }

  // The folders `folder` may include from: itself and everything beneath.
  const std::set<std::string>& reach(const std::string& folder) {
    auto known = reach_.find(folder);
    if (known != reach_.end()) return known->second;
    std::set<std::string> all = {folder};
    reach_[folder] = all;  // a cycle in the table ends here
    if (layers_.count(folder))
      for (const std::string& below : layers_[folder]->below) {
        const std::set<std::string>& more = reach(below);
        all.insert(more.begin(), more.end());
      }
    return reach_[folder] = all;
  }

  // A project file an include names: beside the includer, else from src/.
  fs::path resolve(const fs::path& includer, const std::string& name) const {
    for (const fs::path& candidate : {includer.parent_path() / name, src_ / name})
      if (fs::is_regular_file(candidate)) return fs::weakly_canonical(candidate);
    return {};
  }

  std::vector<fs::path> includes(const fs::path& file) {
    auto known = includes_.find(file);
    if (known != includes_.end()) return known->second;
    static const std::regex include("\\s*[#%]\\s*(?:include|import)\\s*\"([^\"]+)\".*");
    std::vector<fs::path> found;
    std::istringstream text(read(file));
    std::smatch match;
    for (std::string line; std::getline(text, line);) {
      if (!std::regex_match(line, match, include)) continue;
      fs::path target = resolve(file, match[1]);
      if (!target.empty()) found.push_back(target);
    }
    return includes_[file] = found;
  }

  static bool includesLua(const std::string& text) {
    static const std::regex lua(
        "(^|\\n)\\s*#\\s*include\\s*[<\"](lua5\\.1/)?(lua\\.h|lua\\.hpp|lauxlib\\.h|lualib\\.h|"
        "luaconf\\.h)[>\"]");
    return std::regex_search(text, lua);
  }

  // The first project header reached from `file` (itself included) that
  // includes a Lua header; empty when none.
  std::string luaThrough(const fs::path& file) {
    std::set<fs::path> seen;
    std::function<std::string(const fs::path&)> visit = [&](const fs::path& at) -> std::string {
      if (!seen.insert(at).second) return "";
      if (includesLua(read(at))) return relative(at);
      for (const fs::path& next : includes(at)) {
        std::string through = visit(next);
        if (!through.empty()) return through;
      }
      return "";
    };
    return visit(file);
  }

  void checkSource(const fs::path& file, const Layer& layer) {
    std::string name = relative(file);
    for (const fs::path& target : includes(file)) {
      const Layer* other = layerOf(target);
      if (other && !reach(layer.folder).count(other->folder))
        report(name + " includes " + relative(target) + ", from " + other->folder +
               ", which is not beneath " + layer.folder);
    }
    if (!layer.callsGL) {
      static const std::regex call("\\bgl(ew)?[A-Z][A-Za-z0-9_]*\\s*\\(");
      std::string code = codeOf(read(file));
      std::smatch match;
      if (std::regex_search(code, match, call))
        report(name + " calls " + match.str() + "...), but only render/ calls GL");
    }
    if (layer.folder != "platform" && name != "render/gl.h") {
      // gl.h's choice of GL headers is the one system test allowed outside.
      static const std::regex system(
          "\\b(__EMSCRIPTEN__|_WIN32|inotify\\w*|dl_iterate_phdr|fopencookie|mkostemp|readlink)\\b");
      std::string text = read(file), code = codeOf(text);
      std::smatch match;
      if (std::regex_search(code, match, system))
        report(name + " names " + match.str() + ", but only platform/ deals with the system");
      // A path, so in a string: looked for in the whole text.
      if (text.find("/proc/self") != std::string::npos)
        report(name + " names /proc/self, but only platform/ deals with the system");
    }
    if (!layer.seesLua) {
      std::string through = luaThrough(file);
      if (!through.empty())
        report(name + " reaches a Lua header" +
               (through == name ? std::string() : " through " + through) + ", but " +
               layer.folder + " sees no Lua");
    }
  }

  std::string folderOfLibrary(const std::string& library) const {
    auto renamed = LIBRARY_FOLDERS.find(library);
    if (renamed != LIBRARY_FOLDERS.end()) return renamed->second;
    return library.substr(3);
  }

  // target_link_libraries(tw_A ... tw_B ...): B lies beneath A.
  void checkLinks(const fs::path& file) {
    static const std::regex link("target_link_libraries\\(\\s*(tw_\\w+)([^)]*)\\)");
    static const std::regex library("\\btw_\\w+");
    std::string text = std::regex_replace(read(file), std::regex("#[^\\n]*"), "");
    for (std::sregex_iterator at(text.begin(), text.end(), link), end; at != end; ++at) {
      std::string from = folderOfLibrary((*at)[1]);
      if (!layers_.count(from)) continue;
      std::string linked = (*at)[2];
      for (std::sregex_iterator lib(linked.begin(), linked.end(), library); lib != end; ++lib) {
        std::string to = folderOfLibrary(lib->str());
        if (layers_.count(to) && !reach(from).count(to))
          report(relative(file) + ": " + (*at)[1].str() + " links " + lib->str() + ", from " +
                 to + ", which is not beneath " + from);
      }
    }
  }

  fs::path src_;
  std::map<std::string, const Layer*> layers_;
  std::map<std::string, std::set<std::string>> reach_;
  std::map<fs::path, std::vector<fs::path>> includes_;
  std::vector<std::string> found_;
};

// CMake's names of the packages, as docs/architecture.md writes them.
const std::map<std::string, std::string> PACKAGES = {
    {"PkgConfig::LUA51", "Lua 5.1"},
    {"PkgConfig::LIBZIP", "libzip"},
    {"PNG::PNG", "libpng"},
    {"Freetype::Freetype", "FreeType"},
    {"glm::glm", "GLM"},
    {"GLEW::GLEW", "GLEW"},
    {"OpenGL::GL", "OpenGL"},
    {"PkgConfig::SDL2_MIXER", "SDL2_mixer"},
    {"SDL2::SDL2", "SDL2"},
    {"box2d::box2d", "Box2D 2.4"},
    {"pugixml::pugixml", "pugixml"},
    {"nlohmann_json::nlohmann_json", "nlohmann-json"},
    {"ZLIB::ZLIB", "zlib"},
};

std::vector<std::string> splitList(const std::string& text, char separator) {
  std::vector<std::string> items;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, separator);) {
    item = item.substr(0, item.find('('));  // "SDL2 (why)" is SDL2
    size_t first = item.find_first_not_of(' '), last = item.find_last_not_of(' ');
    if (first != std::string::npos) items.push_back(item.substr(first, last - first + 1));
  }
  return items;
}

// What each library links, "tw_..." layers and packages by their docs names,
// as docs/architecture.md's table says and as the build says; the lines where
// they differ.
std::vector<std::string> tableAgainstBuild(const fs::path& source) {
  using Links = std::map<std::string, std::set<std::string>>;
  Links documented, built;
  std::vector<std::string> problems;
  std::istringstream page(read(source / "docs/architecture.md"));
  for (std::string line; std::getline(page, line);) {
    if (line.rfind("| tw_", 0) != 0) continue;
    std::vector<std::string> cells = splitList(line.substr(1), '|');
    if (cells.size() < 2) continue;
    std::set<std::string>& links = documented[cells[0]];
    for (const std::string& layer : splitList(cells[1], ',')) links.insert(layer);
    if (cells.size() > 2 && cells[2].rfind("none", 0) != 0)
      for (const std::string& package : splitList(cells[2], ',')) links.insert(package);
  }
  static const std::regex link("target_link_libraries\\(\\s*(tw_\\w+)\\s+PUBLIC([^)]*)\\)");
  for (const auto& entry : fs::recursive_directory_iterator(source / "src")) {
    if (entry.path().filename() != "CMakeLists.txt") continue;
    std::string text = std::regex_replace(read(entry.path()), std::regex("#[^\\n]*"), "");
    for (std::sregex_iterator at(text.begin(), text.end(), link), end; at != end; ++at) {
      std::set<std::string>& links = built[(*at)[1]];
      std::istringstream names((*at)[2].str());
      for (std::string name; names >> name;) {
        if (name.rfind("tw_", 0) == 0) {
          links.insert(name);
        } else if (PACKAGES.count(name)) {
          links.insert(PACKAGES.at(name));
        } else {
          problems.push_back("package " + name + " is not in PACKAGES of tests/layers/");
        }
      }
    }
  }
  for (const auto& library : built) {
    auto row = documented.find(library.first);
    if (row == documented.end())
      problems.push_back(library.first + " has no row in docs/architecture.md's table");
    else if (row->second != library.second)
      problems.push_back("docs/architecture.md's row of " + library.first + " differs from " +
                         "what the build links");
  }
  return problems;
}

std::string listed(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  " + line + "\n";
  return text;
}

// A scratch tree under the system's temporary folder, removed afterwards.
struct ScratchTree {
  fs::path root = fs::temp_directory_path() / ("layers_test_" + std::to_string(::getpid()));
  ScratchTree() { fs::create_directories(root); }
  ~ScratchTree() { fs::remove_all(root); }
  void write(const std::string& relative, const std::string& text) const {
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative) << text;
  }
};
}  // namespace

TEST(Layers, SourcesKeepTheirLayers) {
  std::vector<std::string> problems = LayerCheck(fs::path(TARNWICK_SOURCE_DIR) / "src").problems();
  EXPECT_TRUE(problems.empty()) << listed(problems);
}

// The check itself: a tree that breaks each rule once gives one line each.
TEST(Layers, EachBreachIsReported) {
  ScratchTree tree;
  for (const Layer& layer : LAYERS) tree.write(layer.folder + "/ok.h", "#pragma once\n");
  tree.write("core/lua_user.h", "#include <lua.hpp>\n");
  tree.write("assets/up.cpp", "#include \"render/ok.h\"\n#include \"core/ok.h\"\n");
  tree.write("scene/draw.cpp", "// glClear(GL_COLOR_BUFFER_BIT) is render's\n"
                               "const char* s = \"glFlush()\";\nvoid f() { glClear(0); }\n");
  tree.write("render/uses.cpp", "#include \"core/ok.h\"\n#include \"core/lua_user.h\"\n");
  tree.write("render/direct.h", "#include <lauxlib.h>\n");
  tree.write("render/fine.cpp", "#include \"assets/ok.h\"\nvoid g() { glClear(0); }\n");
  tree.write("host/fine.cpp", "#include \"core/ok.h\"\n#include \"bindings/ok.h\"\n");
  tree.write("audio/CMakeLists.txt", "target_link_libraries(tw_audio PUBLIC tw_core)\n"
                                     "target_link_libraries(tw_core PUBLIC tw_modules)\n");
  tree.write("network/world.cpp", "\n");
  tree.write("render/gl.h", "#ifdef __EMSCRIPTEN__\n#endif\n");
  tree.write("files/watch.cpp", "#ifdef _WIN32\n#endif\nint n = inotify_init1(0);\n");
  tree.write("files/self.cpp", "const char* self = \"/proc/self/exe\";\n");
  tree.write("platform/watch.cpp", "int n = inotify_init1(0);\n");

  std::vector<std::string> problems = LayerCheck(tree.root).problems();
  std::set<std::string> expected = {
      "src/network is in no layer: add it to LAYERS in tests/layers/layers_test.cpp and to "
      "docs/architecture.md",
      "assets/up.cpp includes render/ok.h, from render, which is not beneath assets",
      "scene/draw.cpp calls glClear(...), but only render/ calls GL",
      "render/uses.cpp reaches a Lua header through core/lua_user.h, but render sees no Lua",
      "render/direct.h reaches a Lua header, but render sees no Lua",
      "audio/CMakeLists.txt: tw_core links tw_modules, from bindings, which is not beneath core",
      "files/watch.cpp names _WIN32, but only platform/ deals with the system",
      "files/self.cpp names /proc/self, but only platform/ deals with the system",
  };
  EXPECT_EQ(std::set<std::string>(problems.begin(), problems.end()), expected)
      << listed(problems);
}

// The table of libraries, links and packages in docs/architecture.md is what
// src/'s CMake files link.
TEST(Layers, ArchitectureTableIsWhatTheBuildLinks) {
  std::vector<std::string> problems = tableAgainstBuild(TARNWICK_SOURCE_DIR);
  EXPECT_TRUE(problems.empty()) << listed(problems);
}

// Script modules list what they expose: a module interface takes no header of
// a layer whole (only bindings' own), so no header outside bindings/ has a
// part written for SWIG, and what a header adds stays out of scripts until an
// interface lists it.
TEST(Layers, ModulesListWhatTheyExpose) {
  fs::path src = fs::path(TARNWICK_SOURCE_DIR) / "src";
  static const std::regex whole("^\\s*%(include|import)\\s*\"([a-z]+)/[^\"]*\"");
  static const std::regex swigPart("^\\s*#\\s*(if|ifdef|ifndef|elif)\\b.*\\bSWIG\\b");
  std::vector<std::string> problems;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    std::string name = fs::relative(entry.path(), src).generic_string();
    std::istringstream lines(read(entry.path()));
    std::smatch match;
    for (std::string line; std::getline(lines, line);) {
      if (entry.path().extension() == ".i" && std::regex_search(line, match, whole) &&
          match[2] != "bindings")
        problems.push_back(name + " takes " + match.str() + " whole");
      if (name.rfind("bindings/", 0) != 0 && std::regex_search(line, swigPart))
        problems.push_back(name + " has a part for SWIG: " + line);
    }
  }
  EXPECT_TRUE(problems.empty()) << listed(problems);
}
