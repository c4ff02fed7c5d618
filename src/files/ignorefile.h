// The game's .tarnwickignore: which of its files the packaging commands leave
// out. One pattern a line, the subset of .gitignore authors know: `*` (any
// run of characters but `/`), `?`, `**` (any run of whole folders), a
// trailing `/` (folders only), a `/` at the start or in the middle (anchored
// at the game's root; otherwise the name matches at any depth), `#` comments,
// blank lines, and `!` to take a path back in. The last matching line wins;
// as with git, nothing inside a folder left out can be taken back.
#pragma once

#include <string>
#include <vector>

namespace ignorefile {
const char* const NAME = ".tarnwickignore";

struct Rule {
  std::string pattern;  // anchored at the root: "**/" stands before a bare name
  bool keep = false;    // a `!` line
  bool folderOnly = false;
};

// The rules of the file's text, in order.
std::vector<Rule> parse(const std::string& text);
// Whether `relative` ("assets/x.png", `folder` when it names a folder) is
// left out.
bool ignored(const std::vector<Rule>& rules, const std::string& relative, bool folder);
}  // namespace ignorefile
