// The starter game of `tarnwick --new`: its script, its picture, and the
// checks that keep it from writing over anything.
#include "host/starter.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/screenshot.h"
#include "platform/files.h"

namespace starter {
namespace {
namespace fs = std::filesystem;

const int BADGE_SIZE = 128;

const char* const MAIN_SCRIPT = R"(-- A starter game made by `tarnwick --new`. Run it with
--   tarnwick --windowed THIS_FOLDER
-- The arrow keys move the badge, space spins it, a mouse click brings it back
-- to the middle, Escape ends the run. The docs/ folder of Tarnwick explains
-- every field used here.

config = { width = 640, height = 360 }  -- the window, in pixels

clearColor = { red = 0.10, green = 0.12, blue = 0.18 }

-- A camera with no fields: orthographic, (0, 0) in the middle of the window,
-- one unit per pixel, y growing upwards.
local camera = {}

local badge = {
  texture = "badge",  -- assets/textures/badge.png, named up to its first dot
  -- PNG files store their top row first and textures are drawn with the first
  -- row at the bottom: a vertical flip shows the picture upright.
  scaleY = -1,
  x = 0,
  y = 0,
}

world = { camera = camera, badge }

local SPEED = 240  -- pixels per second
local spin = 0     -- degrees of spin left

function init()
  log.DLOG(string.format("Starter game in a %dx%d window\n", screenWidth, screenHeight))
end

function update(dt)
  local dx, dy = 0, 0
  -- `keys` names SDL's key codes; app.isKeyDown tells whether one is held.
  if app.isKeyDown(keys.left) then dx = dx - 1 end
  if app.isKeyDown(keys.right) then dx = dx + 1 end
  if app.isKeyDown(keys.down) then dy = dy - 1 end
  if app.isKeyDown(keys.up) then dy = dy + 1 end
  badge.x = badge.x + dx * SPEED * dt
  badge.y = badge.y + dy * SPEED * dt
  spin = math.max(0, spin - 720 * dt)
  badge.rotation = spin
end

function onKeyboardEvent(pressed, key)
  if pressed and key == keys.space then spin = 360 end
end

-- 1025 is a button press, 1026 a release; x, y in pixels from the top left.
function onMouseButtonEvent(type, button, x, y)
  if type == 1025 then
    badge.x, badge.y = 0, 0
  end
end

-- Every mouse button event also arrives here, as a touch of finger 1.
function onTouchEvent(type, finger, x, y) end
)";

bool writeText(const fs::path& path, const char* text) {
  FILE* file = platform::openFile(path.u8string(), "wb");
  if (!file) return false;
  size_t length = strlen(text);
  bool written = fwrite(text, 1, length, file) == length;
  return fclose(file) == 0 && written;
}

int refuse(const std::string& folder, const char* why) {
  fprintf(stderr, "tarnwick: --new refuses '%s': %s\n", folder.c_str(), why);
  return 2;
}

int cannotWrite(const fs::path& path, const char* why) {
  fprintf(stderr, "tarnwick: --new cannot write '%s': %s\n", path.u8string().c_str(), why);
  return 1;
}
}  // namespace

std::vector<unsigned char> badge(int size) {
  std::vector<unsigned char> pixels(static_cast<size_t>(size) * static_cast<size_t>(size) * 4, 0);
  float centre = (size - 1) / 2.0f;
  float radius = size * 0.47f;
  float ring = size * 0.04f;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      float dx = x - centre, dy = y - centre;
      float distance = std::sqrt(dx * dx + dy * dy);
      if (distance > radius) continue;
      // The arrow: a head in the upper half and a stem reaching into the lower.
      float u = static_cast<float>(y) / size;
      float halfWidth = (u - 0.14f) * 0.75f * size;
      bool head = u >= 0.14f && u <= 0.5f && std::fabs(dx) <= halfWidth;
      bool stem = u > 0.5f && u <= 0.8f && std::fabs(dx) <= size * 0.07f;
      unsigned char rgb[3] = {30, 140, 140};  // teal
      if (distance > radius - ring || head || stem) {
        rgb[0] = 250, rgb[1] = 245, rgb[2] = 230;  // white
      } else if (y < size / 2) {
        rgb[0] = 240, rgb[1] = 150, rgb[2] = 40;  // orange
      }
      unsigned char* pixel = &pixels[(static_cast<size_t>(y) * size + x) * 4];
      pixel[0] = rgb[0], pixel[1] = rgb[1], pixel[2] = rgb[2], pixel[3] = 255;
    }
  }
  return pixels;
}

int write(const std::string& folder) {
  fs::path root = fs::u8path(folder);
  std::error_code error;
  if (fs::exists(root, error)) {
    if (!fs::is_directory(root, error)) return refuse(folder, "it is not a folder");
    if (!fs::is_empty(root, error)) return refuse(folder, "the folder is not empty");
  }
  fs::path textures = root / "assets" / "textures";
  fs::create_directories(textures, error);
  if (error) return cannotWrite(textures, error.message().c_str());
  fs::path script = root / "main.lua";
  if (!writeText(script, MAIN_SCRIPT)) return cannotWrite(script, strerror(errno));
  std::vector<unsigned char> picture = badge(BADGE_SIZE);
  fs::path image = textures / "badge.png";
  // The writer reports its own failure on standard error.
  if (!screenshot::writePNG(image.u8string(), BADGE_SIZE, BADGE_SIZE, picture.data())) return 1;
  printf("Wrote a starter game to %s; run it with: tarnwick --windowed %s\n", folder.c_str(),
         folder.c_str());
  return 0;
}
}  // namespace starter
