// Text nodes through the real executable: placement against measureText,
// wrapping, colour and layer, render targets, and bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <sstream>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const int WIDTH = 400, HEIGHT = 240;

// A WIDTH × HEIGHT game on black with `scene` as the rest of main.lua; the
// last of `frames` frames as a picture, the log in `log`.
Picture runScene(const std::string& scene, std::string* log = nullptr, int frames = 2,
                 const std::string& fontFile = "") {
  GameFolder game;
  if (!fontFile.empty()) {
    std::ifstream in(fontFile, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    game.write("assets/fonts/huge.ttf", bytes.str());
  }
  game.writeMain("config = { width = 400, height = 240 }\n"
                 "clearColor = { red = 0, green = 0, blue = 0 }\n" +
                 scene);
  GameRun run = runFrames(game, frames, true);
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  if (log) *log = run.out;
  return readPicture(game.file("shot.png"));
}

int column(int worldX) { return WIDTH / 2 + worldX; }
int row(int worldY) { return HEIGHT / 2 - worldY; }

bool inked(const Picture& picture, int x, int y) {
  RGBA c = picture.at(x, y);
  return std::max({c[0], c[1], c[2]}) > 100;
}

// The bounding box of the inked pixels in rows [top, bottom) and columns
// [left, right) of the picture (window pixels, top row 0).
struct Ink {
  int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
  bool found() const { return right >= 0; }
};
Ink inkIn(const Picture& picture, int top, int bottom, int left = 0, int right = WIDTH) {
  Ink ink;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (inked(picture, x, y)) {
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
      }
  return ink;
}

// The numbers the script printed after `label` (print separates with tabs).
std::vector<double> printed(const std::string& log, const std::string& label) {
  std::istringstream lines(log);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind(label + "\t", 0) == 0) {
      std::istringstream fields(line.substr(label.size()));
      std::vector<double> numbers;
      double number;
      while (fields >> number) numbers.push_back(number);
      return numbers;
    }
  ADD_FAILURE() << "no line " << label << " in " << log;
  return {};
}
}  // namespace

TEST(TextPass, EachAlignmentPutsTheMeasuredWidthAtTheAnchor) {
  std::string log;
  Picture shot = runScene(
      "print('measured', resources.measureText('', 48, 'Hello'))\n"
      "print('bearing', resources.getGlyphLeft('default', 'H'))\n"
      "local l, h = resources.measureText('', 48, 'l')\n"
      "assert(l == resources.getGlyphAdvance('default', 'l'), 'size 48 answers once in use')\n"
      "assert(select(3, resources.measureText('', 48, 'l\\nl')) == 2)\n"
      "assert(select(2, resources.measureText('', 48, 'l\\nl')) > h)\n"
      "assert(select('#', resources.measureText('', 48, '')) == 3)\n"
      "world = { camera = {},\n"
      "  { text = 'Hello', size = 48, y = 60 },\n"
      "  { text = 'Hello', size = 48, y = -10, align = 'center' },\n"
      "  { text = 'Hello', size = 48, y = -80, align = 'right' },\n"
      "}\n",
      &log);
  ASSERT_EQ(shot.width, WIDTH);
  std::vector<double> measured = printed(log, "measured"), bearing = printed(log, "bearing");
  ASSERT_EQ(measured.size(), 3u);
  ASSERT_EQ(bearing.size(), 1u);
  int width = static_cast<int>(measured[0]);
  EXPECT_EQ(measured[2], 1);

  Ink left = inkIn(shot, 0, 80), centre = inkIn(shot, 80, 150), right = inkIn(shot, 150, HEIGHT);
  ASSERT_TRUE(left.found() && centre.found() && right.found());
  // The left-aligned line spans [anchor, anchor + width]; its ink starts one
  // bearing in. The others are the same line moved by half and whole widths.
  EXPECT_NEAR(left.left, column(0) + bearing[0], 1);
  EXPECT_LE(left.right, column(width));
  EXPECT_NEAR(centre.left, left.left - width / 2.0, 1);
  EXPECT_NEAR(right.left, left.left - width, 1);
  EXPECT_NEAR(right.right, left.right - width, 1);
  // Baselines: "Hello" has no descender, so its ink ends on the baseline.
  EXPECT_NEAR(left.bottom, row(60) - 1, 1);
}

TEST(TextPass, MaxWidthWrapsAtTheWordThatWouldOverflow) {
  std::string log;
  Picture shot = runScene(
      "local line = resources.measureText('', 20, 'aaaa bbbb')\n"
      "print('line', line)\n"
      "print('wrapped', resources.measureText('', 20, 'aaaa bbbb cccc', line + 1))\n"
      "world = { camera = {},\n"
      "  { text = 'aaaa bbbb cccc', size = 20, maxWidth = line + 1, x = -150, y = 100,\n"
      "    valign = 'top' },\n"
      "}\n",
      &log);
  ASSERT_EQ(shot.width, WIDTH);
  double line = printed(log, "line").at(0);
  std::vector<double> wrapped = printed(log, "wrapped");
  ASSERT_EQ(wrapped.size(), 3u);
  EXPECT_EQ(wrapped[0], line);
  EXPECT_EQ(wrapped[2], 2);

  // Two bands of ink, neither wider than maxWidth from the anchor.
  int bands = 0;
  for (int y = 0; y < HEIGHT; ++y)
    if (inkIn(shot, y, y + 1).found() && (y == 0 || !inkIn(shot, y - 1, y).found())) ++bands;
  EXPECT_EQ(bands, 2);
  Ink ink = inkIn(shot, 0, HEIGHT);
  EXPECT_LE(ink.right, column(-150) + line + 1);
  // valign top: the block hangs below the anchor, within its measured height.
  EXPECT_GE(ink.top, row(100));
  EXPECT_LE(ink.top, row(100) + 8);
  EXPECT_LE(ink.bottom, row(100) + wrapped[1]);
}

TEST(TextPass, TheColourUniformTintsAndTheLayerPicksTheCamera) {
  Picture shot = runScene(
      "world = { camera = {}, { camera = { layer = 'hud' } },\n"
      "  { text = 'HH', size = 40, layer = 'hud', x = -150, uniforms = { color = { 1, 0, 0, 1 } } },\n"
      "  { text = 'HH', size = 40, layer = 'nobody', x = 50 },\n"
      "}\n");
  ASSERT_EQ(shot.width, WIDTH);
  Ink red = inkIn(shot, 0, HEIGHT, 0, WIDTH / 2);
  ASSERT_TRUE(red.found());
  for (int y = red.top; y <= red.bottom; ++y)
    for (int x = red.left; x <= red.right; ++x) {
      RGBA c = shot.at(x, y);
      EXPECT_TRUE(c[1] == 0 && c[2] == 0) << "at " << x << ", " << y;
    }
  EXPECT_TRUE(near(shot.at(red.left + 2, red.top + 5), {255, 0, 0, 255}, 3))
      << "the H's stem is full red";
  EXPECT_FALSE(inkIn(shot, 0, HEIGHT, WIDTH / 2, WIDTH).found()) << "no camera has that layer";
}

TEST(TextPass, TextInARenderTargetShowsUprightThroughATexturedNode) {
  Picture shot = runScene(
      "renderTextureTargets = { label = { width = 128, height = 64 } }\n"
      "function init() graphics.createRenderTargets() end\n"
      "world = { camera = {},\n"
      "  { camera = { target = 'label', layer = 'rt', fit = 'both', width = 128, height = 64 } },\n"
      "  { text = 'T', size = 48, layer = 'rt', align = 'center', valign = 'middle' },\n"
      "  { texture = 'label', x = -100 },\n"
      "  { text = 'T', size = 48, align = 'center', valign = 'middle', x = 100 },\n"
      "}\n");
  ASSERT_EQ(shot.width, WIDTH);
  // A T is upright when its widest row, the bar, is at the top of its ink.
  for (int half = 0; half < 2; ++half) {
    Ink t = inkIn(shot, 0, HEIGHT, half * WIDTH / 2, (half + 1) * WIDTH / 2);
    ASSERT_TRUE(t.found()) << half;
    int widestRow = t.top, widest = 0;
    for (int y = t.top; y <= t.bottom; ++y) {
      int count = 0;
      for (int x = t.left; x <= t.right; ++x) count += inked(shot, x, y);
      if (count > widest) widest = count, widestRow = y;
    }
    EXPECT_LE(widestRow - t.top, 4) << (half ? "on screen" : "through the target");
    EXPECT_NEAR(t.right - t.left, 27, 4) << "as wide as a T of 48 pixels";
  }
}

TEST(TextPass, BadInputIsLoggedOnceAndDrawsNothingOrTheMissingGlyphBox) {
  std::string log;
  Picture shot = runScene(
      "print('unknown', resources.measureText('nosuch', 16, 'Hello'))\n"
      "print('default', resources.measureText('', 16, 'Hello'))\n"
      "print('refused', resources.measureText('', -5, 'Hello'))\n"
      "world = { camera = {},\n"
      "  { text = 'A', font = 'nosuch', size = 30, x = -190, y = 80 },\n"
      "  { text = 'B', font = 'nosuch', size = 20, x = -190, y = 20 },\n"
      "  { text = 'C', size = 0, x = -100, y = 80 },\n"
      "  { text = 'D', size = 2000, x = -100, y = 20 },\n"
      "  { text = '', x = 0, y = 80 }, { text = {}, x = 0, y = 20 }, { text = true, x = 0, y = -40 },\n"
      "  { text = '\\255', size = 30, x = 100, y = 80 },\n"
      "  { text = 42, size = 30, x = 100, y = 20 },\n"
      "  { text = 'ab', font = 'huge', size = 48, x = 100, y = -40 },\n"
      "}\n",
      &log, 3, std::string(TARNWICK_FUZZ_DIR) + "/regressions/font/huge-glyphs.ttf");
  ASSERT_EQ(shot.width, WIDTH);
  EXPECT_EQ(countLines(log, "Font nosuch not found in assets/fonts/, using the default font"), 1) << log;
  EXPECT_EQ(countLines(log, "Text size 0 refused: sizes lie above 0 and at most 1024 pixels"), 1);
  EXPECT_EQ(countLines(log, "Text size 2000 refused: sizes lie above 0 and at most 1024 pixels"), 1);
  EXPECT_EQ(countLines(log, "Text size -5 refused: sizes lie above 0 and at most 1024 pixels"), 1);
  EXPECT_EQ(countLines(log, "Font huge at size 48 has glyphs larger than 192 pixels; they are "
                            "not drawn"), 1);
  EXPECT_EQ(printed(log, "unknown"), printed(log, "default"));
  EXPECT_EQ(printed(log, "refused"), (std::vector<double>{0, 0, 0}));

  auto drawn = [&](int x, int y) { return inkIn(shot, row(y + 40), row(y - 10), column(x), column(x + 80)).found(); };
  EXPECT_TRUE(drawn(-190, 80) && drawn(-190, 20)) << "the default font stands in";
  EXPECT_FALSE(drawn(-100, 80) || drawn(-100, 20)) << "refused sizes";
  EXPECT_FALSE(drawn(0, 80) || drawn(0, 20) || drawn(0, -40)) << "no text to show";
  EXPECT_TRUE(drawn(100, 80)) << "an invalid byte shows the missing-glyph box";
  EXPECT_TRUE(drawn(100, 20)) << "a number shows as text";
  EXPECT_FALSE(drawn(100, -40)) << "a hostile font's huge glyphs";
}

TEST(TextPass, ATextNodesOnUpdateRunsOnceAFrameUnderTwoCameras) {
  std::string log;
  runScene("world = { camera = {}, { camera = { layer = 'hud' } },\n"
           "  { text = 'Hi', onUpdate = function() print('text update') end },\n"
           "  { text = 'Hi', layer = 'hud', onUpdate = function() print('hud text update') end },\n"
           "  { onUpdate = function() print('plain update') end },\n"
           "}\n",
           &log, 3);
  int frames = countLines(log, "plain update");
  EXPECT_GT(frames, 0) << log;
  EXPECT_EQ(countLines(log, "text update"), frames);
  EXPECT_EQ(countLines(log, "hud text update"), frames);
}

namespace {
// The smallest box around the pixels of `picture` in [left, right) × [top,
// bottom) that are not black, cut out.
Picture inkCut(const Picture& picture, int left, int top, int right, int bottom) {
  Ink ink;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      RGBA c = picture.at(x, y);
      if (c[0] || c[1] || c[2]) {
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y);
        ink.bottom = std::max(ink.bottom, y);
      }
    }
  Picture cut;
  if (!ink.found()) return cut;
  cut.width = ink.right - ink.left + 1;
  cut.height = ink.bottom - ink.top + 1;
  for (int y = ink.top; y <= ink.bottom; ++y)
    for (int x = ink.left; x <= ink.right; ++x)
      for (int channel : picture.at(x, y)) cut.rgba.push_back(static_cast<unsigned char>(channel));
  return cut;
}

Picture windowOf(int width, int height, const std::string& scene) {
  GameFolder game;
  game.writeMain("config = { width = " + std::to_string(width) +
                 ", height = " + std::to_string(height) + " }\n"
                 "clearColor = { red = 0, green = 0, blue = 0 }\n" + scene);
  GameRun run = runFrames(game, 2, true);
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  return readPicture(game.file("shot.png"));
}
}  // namespace

// Glyph edges on pixel edges draw each texel as one pixel. Text at whole
// units of an even window is that way already; at half units, in a window of
// odd size, or under a camera at a half unit, it is moved onto whole pixels
// and looks the same.
TEST(TextPass, TextAtHalfPixelsIsPutOnWholePixels) {
  const std::string scene = "world = { camera = { x = %CAMERA% },\n"
                            "  { text = 'Hi', size = 24, x = -100, y = 0 },\n"
                            "  { text = 'Hi', size = 24, x = 20.5, y = 30.5 },\n"
                            "}\n";
  auto withCamera = [&](const std::string& x) {
    std::string text = scene;
    text.replace(text.find("%CAMERA%"), 8, x);
    return text;
  };
  Picture even = windowOf(400, 240, withCamera("0"));
  Picture odd = windowOf(401, 241, withCamera("0"));
  Picture moved = windowOf(400, 240, withCamera("0.5"));
  Picture crisp = inkCut(even, 0, 0, 200, 240);
  ASSERT_GT(crisp.width, 0);
  auto same = [&](const Picture& cut, const char* what) {
    EXPECT_EQ(cut.width, crisp.width) << what;
    EXPECT_EQ(cut.height, crisp.height) << what;
    EXPECT_TRUE(cut.rgba == crisp.rgba) << what;
  };
  same(inkCut(even, 200, 0, 400, 240), "half units");
  same(inkCut(odd, 0, 0, 200, 241), "odd window");
  same(inkCut(odd, 201, 0, 401, 241), "odd window, half units");
  same(inkCut(moved, 0, 0, 200, 240), "camera at a half unit");
}
