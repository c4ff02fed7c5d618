// UTF-8 decoding by the well-formed byte ranges of Unicode's table 3-7.
#include "assets/utf8.h"

namespace utf8 {
char32_t next(const char* text, size_t size, size_t* pos) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(*pos);
  if (lead < 0x80) {
    ++*pos;
    return lead;
  }
  // Length, payload of the lead byte, and the range the second byte must lie
  // in: narrower than 80..BF where that rules out overlong forms, surrogates
  // and values beyond U+10FFFF.
  int length = 0;
  char32_t code = 0;
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    ++*pos;
    return INVALID;
  }
  size_t i = *pos + 1;
  for (int k = 1; k < length; ++k, ++i) {
    if (i >= size || byte(i) < low || byte(i) > high) {
      *pos = i;
      return INVALID;
    }
    code = (code << 6) | (byte(i) & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  *pos = i;
  return code;
}

void decode(const std::string& text, std::u32string& out) {
  out.clear();
  size_t pos = 0;
  while (pos < text.size()) out.push_back(next(text.data(), text.size(), &pos));
}
}  // namespace utf8
