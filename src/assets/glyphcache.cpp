// Faces by name and size, glyphs rasterised on demand, kerning.
#include "assets/glyphcache.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <deque>
#include <map>
#include <set>
#include <utility>

#include "assets/frameworkfiles.h"
#include "assets/glyphbitmap.h"
#include "assets/glyphsheets.h"
#include "assets/utf8.h"
#include "core/log.h"
#include "files/files.h"

namespace glyphcache {
namespace {
const char* const FONT_FOLDER = "assets/fonts/";
const char32_t FIRST_PRINTABLE = 0x20, LAST_PRINTABLE = 0x7E;
const char32_t ASCII = 128;
const short KERNING_UNKNOWN = SHRT_MIN;

std::deque<Face> faces;  // owns every face
// Font file to its bytes: FreeType reads a face's file as it goes, so they stay
// until every face is closed.
std::map<std::string, std::string> fontFiles;
// Font name, then pixel size, to its face; null where a pair was refused.
std::map<std::string, std::map<int, Face*>, std::less<>> facesByName;
// Font name to its file, found once per name; empty where the default stands in.
std::map<std::string, std::string, std::less<>> paths;
std::set<std::string> refusedSizes;  // as logged
// The pair asked for last and its face.
struct LastFace {
  std::string name;
  int pixels = 0;
  Face* face = nullptr;
} last;

std::string pathOf(const std::string& name) {
  auto found = paths.find(name);
  if (found != paths.end()) return found->second;
  std::string path;
  for (const char* extension : {".ttf", ".otf"}) {
    std::string candidate = FONT_FOLDER + name + extension;
    if (files::exists(candidate)) {
      path = candidate;
      break;
    }
  }
  if (path.empty() && name == DEFAULT_FONT) {
    path = frameworkfiles::find(DEFAULT_FONT_FILE);
    if (path.empty())
      DLOG(LogLevel::Error, "Default font %s not found; text is not drawn\n", DEFAULT_FONT_FILE);
  } else if (path.empty()) {
    DLOG(LogLevel::Warning, "Font %s not found in %s, using the default font\n", name.c_str(),
         FONT_FOLDER);
  }
  paths[name] = path;
  return path;
}

CachedGlyph rasterise(Face& face, unsigned int index) {
  CachedGlyph cached;
  cached.index = index;
  if (FT_Load_Glyph(face.ft, index, FT_LOAD_DEFAULT) != 0) {
    DLOG(LogLevel::Error, "Could not render glyph %u of font %s at size %d\n", index,
         face.name.c_str(), face.size);
    return cached;
  }
  FT_GlyphSlot slot = face.ft->glyph;
  cached.glyph.advance = static_cast<float>(slot->advance.x / 64);
  // The outline's extent, known before a pixel is rendered.
  long largest = static_cast<long>(glyphbitmap::GLYPH_SIZE_FACTOR) * face.size;
  if (glyphbitmap::wholePixels(slot->metrics.width) > largest ||
      glyphbitmap::wholePixels(slot->metrics.height) > largest) {
    if (!face.refusedLarge)
      DLOG(LogLevel::Warning,
           "Font %s at size %d has glyphs larger than %ld pixels; they are not drawn\n",
           face.name.c_str(), face.size, largest);
    face.refusedLarge = true;
    return cached;
  }
  const FT_Bitmap& bitmap = slot->bitmap;
  bool rendered = FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0;
  bool empty = bitmap.width == 0 || bitmap.rows == 0;
  if (!rendered || (!empty && !glyphbitmap::readable(bitmap))) {
    DLOG(LogLevel::Error, "Could not render glyph %u of font %s at size %d\n", index,
         face.name.c_str(), face.size);
    return cached;
  }
  cached.glyph.left = slot->bitmap_left;
  cached.glyph.top = slot->bitmap_top;
  if (!glyphsheets::add(bitmap, &cached.glyph.sprite))
    DLOG(LogLevel::Warning, "Glyph %u of font %s at size %d does not fit on a glyph sheet\n", index,
         face.name.c_str(), face.size);
  return cached;
}

Face* open(const std::string& name, int pixels) {
  std::string path = pathOf(name);
  if (path.empty()) return nullptr;
  if (!resources::ft) resources::init();
  FT_Face ft = nullptr;
  auto bytes = fontFiles.find(path);
  std::string problem;
  if (bytes == fontFiles.end()) {
    std::string read;
    if (frameworkfiles::read(path, read, problem))
      bytes = fontFiles.emplace(path, std::move(read)).first;
  }
  if (!resources::ft || bytes == fontFiles.end() ||
      FT_New_Memory_Face(resources::ft, reinterpret_cast<const FT_Byte*>(bytes->second.data()),
                         static_cast<FT_Long>(bytes->second.size()), 0, &ft) != 0) {
    DLOG(LogLevel::Error, "Could not open font %s for text\n", path.c_str());
    if (name != DEFAULT_FONT) paths[name] = "";  // the default stands in from now on
    return nullptr;
  }
  if (FT_Set_Pixel_Sizes(ft, 0, static_cast<FT_UInt>(pixels)) != 0) {
    DLOG(LogLevel::Error, "Font %s has no size %d\n", path.c_str(), pixels);
    FT_Done_Face(ft);
    return nullptr;
  }
  faces.emplace_back();
  Face& face = faces.back();
  face.name = name;
  face.size = pixels;
  face.ft = ft;
  const FT_Size_Metrics& metrics = ft->size->metrics;
  face.ascender = static_cast<float>(metrics.ascender) / 64;
  face.descender = static_cast<float>(metrics.descender) / 64;
  face.lineHeight = static_cast<float>(metrics.height) / 64;
  if (FT_HAS_KERNING(ft)) face.asciiKerning.assign(ASCII * ASCII, KERNING_UNKNOWN);
  resources::Font record;
  record.name = name;
  record.size = static_cast<size_t>(pixels);
  resources::fonts.push_back(record);
  face.record = &resources::fonts.back();

  glyph(face, utf8::INVALID);
  if (pixels <= EAGER_SIZE)
    for (char32_t c = FIRST_PRINTABLE; c <= LAST_PRINTABLE; ++c) glyph(face, c);
  return &face;
}
}  // namespace

Face* face(const std::string& requested, float size) {
  if (!(size > 0 && size <= MAX_SIZE)) {
    char shown[32];
    snprintf(shown, sizeof shown, "%g", static_cast<double>(size));
    if (refusedSizes.insert(shown).second)
      DLOG(LogLevel::Warning, "Text size %s refused: sizes lie above 0 and at most %g pixels\n",
           shown, static_cast<double>(MAX_SIZE));
    return nullptr;
  }
  int pixels = std::max(1, static_cast<int>(std::lround(size)));
  static const std::string defaultName = DEFAULT_FONT;
  const std::string& name = requested.empty() ? defaultName : requested;
  // Text nodes in a row mostly share their font.
  if (last.face && last.pixels == pixels && last.name == name) return last.face;
  std::map<int, Face*>& sizes = facesByName[name];
  auto found = sizes.find(pixels);
  Face* result = nullptr;
  if (found != sizes.end()) {
    result = found->second;
  } else {
    result = open(name, pixels);
    if (!result && name != DEFAULT_FONT) result = face(DEFAULT_FONT, static_cast<float>(pixels));
    facesByName[name][pixels] = result;
  }
  last = {name, pixels, result};
  return result;
}

const CachedGlyph& glyph(Face& face, char32_t c) {
  if (c < 256 && face.latin1[c]) return *face.latin1[c];
  if (c >= 256) {
    auto found = face.byCharacter.find(c);
    if (found != face.byCharacter.end()) return *found->second;
  }
  unsigned int index = c == utf8::INVALID ? 0 : FT_Get_Char_Index(face.ft, c);
  auto cached = face.byIndex.find(index);
  if (cached == face.byIndex.end())
    cached = face.byIndex.emplace(index, rasterise(face, index)).first;
  const CachedGlyph* result = &cached->second;
  if (c < 256)
    face.latin1[c] = result;
  else
    face.byCharacter[c] = result;
  if (c < ASCII) face.record->glyphs[static_cast<char>(c)] = result->glyph;
  return *result;
}

float kerning(Face& face, char32_t left, char32_t right) {
  if (face.asciiKerning.empty()) return 0;
  short* known = left < ASCII && right < ASCII ? &face.asciiKerning[left * ASCII + right] : nullptr;
  if (known && *known != KERNING_UNKNOWN) return *known;
  FT_Vector delta{0, 0};
  FT_Get_Kerning(face.ft, glyph(face, left).index, glyph(face, right).index, FT_KERNING_DEFAULT,
                 &delta);
  long pixels = delta.x / 64;
  if (known) *known = static_cast<short>(std::clamp<long>(pixels, SHRT_MIN + 1, SHRT_MAX));
  return static_cast<float>(pixels);
}

void clear() {
  for (Face& face : faces) FT_Done_Face(face.ft);
  faces.clear();
  facesByName.clear();
  fontFiles.clear();
  paths.clear();
  refusedSizes.clear();
  last = LastFace();
  glyphsheets::clear();
}
}  // namespace glyphcache
