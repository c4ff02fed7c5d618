// Uniform and attribute names as small numbers. Batches store and compare
// these instead of strings; the same text gives the same NameId for the whole
// run, so each name is hashed once (where it is first met), not per batch.
#pragma once

#include <string>

using NameId = unsigned int;

// The number of `text`, given out the first time the text is met.
NameId gr_nameId(const std::string& text);
NameId gr_nameId(const char* text);
// The text of a NameId that gr_nameId gave out.
const std::string& gr_nameText(NameId id);
