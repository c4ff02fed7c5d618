// UTF-8 decoding for text on screen. Well-formed sequences give their code
// point; anything else (stray continuation bytes, overlong forms, surrogates,
// values beyond U+10FFFF, sequences cut short) gives INVALID, one per maximal
// ill-formed part, so a bad byte costs one missing-glyph box and never the
// characters after it.
#pragma once

#include <cstddef>
#include <string>

namespace utf8 {
// Beyond Unicode, so no font maps it to a glyph.
const char32_t INVALID = 0x110000;

// Decodes the character that starts at text[*pos] (*pos < size) and moves *pos
// past it: past the whole sequence, or past the bytes of an ill-formed one that
// could still have begun a character (at least one byte).
char32_t next(const char* text, size_t size, size_t* pos);
// The code points of `text`, into `out` (emptied first).
void decode(const std::string& text, std::u32string& out);
}  // namespace utf8
