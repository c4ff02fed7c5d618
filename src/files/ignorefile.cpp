// Reading .tarnwickignore lines and matching paths against them.
#include "files/ignorefile.h"

namespace ignorefile {
namespace {
// Whether pattern[i..] matches text[j..] whole.
bool matches(const std::string& pattern, size_t i, const std::string& text, size_t j) {
  while (i < pattern.size()) {
    bool wholeFolders = pattern.compare(i, 2, "**") == 0 && (i == 0 || pattern[i - 1] == '/');
    if (wholeFolders && i + 2 == pattern.size()) return true;  // "dir/**": all inside
    if (wholeFolders && pattern[i + 2] == '/') {
      // "**/": no folder, or any run of whole folders.
      for (size_t at = j;; ++at) {
        if (matches(pattern, i + 3, text, at)) return true;
        at = text.find('/', at);
        if (at == std::string::npos) return false;
      }
    }
    if (pattern[i] == '*') {
      size_t next = pattern.find_first_not_of('*', i);
      if (next == std::string::npos) next = pattern.size();
      for (size_t at = j;; ++at) {
        if (matches(pattern, next, text, at)) return true;
        if (at >= text.size() || text[at] == '/') return false;
      }
    }
    if (j >= text.size()) return false;
    if (pattern[i] == '?' ? text[j] == '/' : pattern[i] != text[j]) return false;
    ++i;
    ++j;
  }
  return j == text.size();
}
}  // namespace

std::vector<Rule> parse(const std::string& text) {
  std::vector<Rule> rules;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    size_t last = line.find_last_not_of(" \t\r");
    line.resize(last == std::string::npos ? 0 : last + 1);
    if (line.empty() || line[0] == '#') continue;
    Rule rule;
    if (line[0] == '!') {
      rule.keep = true;
      line.erase(0, 1);
    } else if (line[0] == '\\') {
      line.erase(0, 1);  // "\#", "\!": a name starting with that character
    }
    if (!line.empty() && line.back() == '/') {
      rule.folderOnly = true;
      line.pop_back();
    }
    if (line.empty()) continue;
    if (line.find('/') == std::string::npos)
      line = "**/" + line;
    else if (line[0] == '/')
      line.erase(0, 1);
    rule.pattern = line;
    rules.push_back(rule);
  }
  return rules;
}

bool ignored(const std::vector<Rule>& rules, const std::string& relative, bool folder) {
  for (auto rule = rules.rbegin(); rule != rules.rend(); ++rule)
    if ((folder || !rule->folderOnly) && matches(rule->pattern, 0, relative, 0))
      return !rule->keep;
  return false;
}
}  // namespace ignorefile
