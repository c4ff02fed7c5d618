// The reference pages and the editor definitions name the same fields: every
// field a table of the scene reference (and the config and render target
// tables) lists is annotated on the matching class of types/tarnwick.lua, and
// every field those classes annotate is listed in one of the tables.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "docs/source_files.h"

using docstest::readSource;

namespace {
// A table of a page, found by the heading above it and its first column's
// title, and the class its rows describe. "(globals)" stands for the globals the
// file declares; an empty class marks a table that lists no fields.
struct TableClass {
  const char* page;
  const char* heading;
  const char* column;
  const char* type;
};

const TableClass TABLES[] = {
    {"docs/scene.md", "Fields every node may have", "field", "tarnwick.Node"},
    {"docs/scene.md", "Transforms", "field", "tarnwick.Transform"},
    {"docs/scene.md", "Textured rectangles", "field", "tarnwick.Node"},
    {"docs/scene.md", "Tile maps", "field", "tarnwick.Node"},
    {"docs/scene.md", "Models and inline triangles", "field", "tarnwick.Node"},
    {"docs/scene.md", "Models and inline triangles", "`world` field", "tarnwick.World"},
    {"docs/scene.md", "Particles", "`particles` field", "tarnwick.Emitter"},
    {"docs/scene.md", "Particles", "field", "tarnwick.Particle"},
    {"docs/scene.md", "Text", "field", "tarnwick.Node"},
    {"docs/scene.md", "Cameras", "field", "tarnwick.Camera"},
    {"docs/scene.md", "Globals", "global", "(globals)"},
    {"docs/scene.md", "Assets", "folder", ""},
    {"docs/input-and-callbacks.md", "The window", "field", "tarnwick.Config"},
    {"docs/physics.md", "Node fields", "field", "tarnwick.Node"},
    {"docs/physics.md", "Worlds", "`physics` field", "tarnwick.Physics"},
    {"docs/physics.md", "Bodies", "`body` field", "tarnwick.Body"},
    {"docs/physics.md", "Shapes", "field", "tarnwick.Shape"},
    {"docs/physics.md", "Contacts", "`contact` field", "tarnwick.Contact"},
    {"docs/physics.md", "Bodies from a tile map", "`mapBodies` field", "tarnwick.MapBodies"},
    {"docs/render-targets-and-shaders.md", "Making targets", "field",
     "tarnwick.RenderTargetDescription"},
};
// Every table of this page must be one of the above.
const char* const REFERENCE = "docs/scene.md";

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

struct Table {
  std::string heading, column;
  std::set<std::string> fields;  // the names in the first column's code spans
};

// The tables of a Markdown page, outside code blocks. A field written
// `uniforms.color` counts as `uniforms`.
std::vector<Table> tablesOf(const std::string& page) {
  static const std::regex code("`([A-Za-z_][A-Za-z0-9_]*)(\\.[A-Za-z_][A-Za-z0-9_]*)?`");
  std::vector<Table> tables;
  std::string heading;
  bool fenced = false, inTable = false;
  for (const std::string& line : linesOf(page)) {
    if (line.rfind("```", 0) == 0) fenced = !fenced;
    if (fenced) continue;
    if (line.rfind("#", 0) == 0) heading = trimmed(line.substr(line.find(' ') + 1));
    if (line.rfind("|", 0) != 0) {
      inTable = false;
      continue;
    }
    std::string first = trimmed(line.substr(1, line.find('|', 1) - 1));
    if (!inTable) {
      tables.push_back({heading, first, {}});
      inTable = true;
    } else if (first.find_first_not_of("-:") != std::string::npos) {
      for (std::sregex_iterator at(first.begin(), first.end(), code), end; at != end; ++at)
        tables.back().fields.insert((*at)[1]);
    }
  }
  return tables;
}

// The hand-written part of the definitions: each class's own fields, and the
// globals under "(globals)".
std::map<std::string, std::set<std::string>> annotated(const std::string& types) {
  static const std::regex classLine("---@class ([A-Za-z_.]+)(:.*)?");
  static const std::regex fieldLine("---@field ([A-Za-z_][A-Za-z0-9_]*)[?]?( .*)?");
  static const std::regex globalLine("(?:function )?([A-Za-z_][A-Za-z0-9_]*)(?: = nil|\\(.*)");
  std::map<std::string, std::set<std::string>> found;
  std::string current;
  for (const std::string& line : linesOf(types.substr(0, types.find("-- BEGIN GENERATED")))) {
    std::smatch match;
    if (std::regex_match(line, match, classLine)) {
      current = match[1];
      found[current];
    } else if (!current.empty() && std::regex_match(line, match, fieldLine)) {
      found[current].insert(match[1]);
    } else {
      if (line.rfind("---@field", 0) != 0) current.clear();
      if (std::regex_match(line, match, globalLine)) found["(globals)"].insert(match[1]);
    }
  }
  return found;
}

std::string joined(const std::set<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}
}  // namespace

TEST(ReferenceFields, TablesAndTypesNameTheSameFields) {
  std::map<std::string, std::set<std::string>> types = annotated(readSource("types/tarnwick.lua"));
  ASSERT_GT(types["tarnwick.Node"].size(), 10u);
  ASSERT_GT(types["(globals)"].size(), 10u);

  std::map<std::string, std::set<std::string>> listed;  // class -> fields the pages list
  std::map<std::string, std::vector<Table>> pages;
  for (const TableClass& mapped : TABLES)
    if (!pages.count(mapped.page)) pages[mapped.page] = tablesOf(readSource(mapped.page));
  for (const auto& page : pages) {
    for (const Table& table : page.second) {
      const TableClass* mapped = nullptr;
      for (const TableClass& candidate : TABLES)
        if (page.first == candidate.page && table.heading == candidate.heading &&
            table.column == candidate.column)
          mapped = &candidate;
      if (!mapped) {
        EXPECT_NE(page.first, REFERENCE)
            << "a table of the scene reference that this test does not map to a class: \""
            << table.heading << "\", column \"" << table.column << "\"";
        continue;
      }
      if (*mapped->type == '\0') continue;
      std::set<std::string> missing;
      for (const std::string& field : table.fields) {
        listed[mapped->type].insert(field);
        if (!types[mapped->type].count(field)) missing.insert(field);
      }
      EXPECT_TRUE(missing.empty()) << page.first << ", \"" << table.heading << "\" lists "
                                   << joined(missing) << ", which " << mapped->type
                                   << " in types/tarnwick.lua does not annotate";
    }
  }
  std::set<std::string> classes;
  for (const TableClass& mapped : TABLES)
    if (*mapped.type != '\0') classes.insert(mapped.type);
  for (const std::string& type : classes) {
    EXPECT_FALSE(listed[type].empty()) << "no table of the pages lists the fields of " << type;
    std::set<std::string> unlisted;
    for (const std::string& field : types[type])
      if (!listed[type].count(field)) unlisted.insert(field);
    EXPECT_TRUE(unlisted.empty()) << type << " annotates " << joined(unlisted)
                                  << ", which no table of the reference lists";
  }
}
