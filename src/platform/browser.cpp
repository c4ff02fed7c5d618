// The web page's side of the platform: the browser calls each frame, the
// canvas keeps the last picture after the run, the context is WebGL 2 and
// shaders become GLSL ES 1.00, the save folder lives in IndexedDB, error lines
// reach the page's panel. A page's files never change while it runs, so
// nothing is watched, and it loads no shared libraries. The page
// (assets/web/tarnwick-page.js) mounts the storage before main runs.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/glsles.h"
#include "platform/libraries.h"
#include "platform/platform.h"
#include "platform/watch.h"

namespace platform {
namespace {
// Kept on the heap: main's stack is gone once the browser drives the frames.
struct Frames {
  std::function<bool()> frame;
  std::function<void()> finish;
};
Frames* frames = nullptr;

void browserFrame() {
  // The frame's own cost: the browser caps frames at the display's rate.
  double start = emscripten_get_now();
  bool more = frames->frame();
  EM_ASM({
    if (Module.tarnwickFrameTimed) Module.tarnwickFrameTimed($0);
  }, emscripten_get_now() - start);
  if (more) return;
  emscripten_cancel_main_loop();
  Frames* done = frames;
  frames = nullptr;
  done->finish();
  delete done;
}
}  // namespace

bool browser() { return true; }

void runFrames(std::function<bool()> frame, std::function<void()> finish) {
  frames = new Frames{std::move(frame), std::move(finish)};
  // The browser paces the frames (0: its animation frames); the stack unwinds
  // instead of returning to the caller.
  emscripten_set_main_loop(browserFrame, 0, 1);
}

bool keepWindowAfterRun() {
  emscripten_html5_remove_all_event_listeners();
  return true;
}

void ended(int status) {
  EM_ASM({
    if (Module.tarnwickEnded) Module.tarnwickEnded($0);
  }, status);
}

void exitNow(int status) {
  if (frames) emscripten_cancel_main_loop();
  ended(status);
  emscripten_force_exit(status);
}

GraphicsContext graphicsContext() { return GraphicsContext::WebGL2; }

std::string shaderSource(const std::string& source) { return glsles::fromGlsl120(source); }

void savesChanged() {
  EM_ASM({
    if (Module.tarnwickSaveChanged) Module.tarnwickSaveChanged();
  });
}

void reportError(const char* text, size_t length) {
  EM_ASM({
    if (Module.tarnwickError) Module.tarnwickError(UTF8ToString($0, $1));
  }, text, length);
}
bool startWatching(std::string& problem) {
  problem = strerror(ENOSYS);
  return false;
}

int watchFolder(const std::string&, std::string& problem) {
  problem = strerror(ENOSYS);
  return -1;
}

void folderEvents(std::vector<FolderEvent>&) {}

void stopWatching() {}

std::map<std::string, std::string> loadedLibraries() { return {}; }

std::vector<std::string> executableNeeds() { return {}; }

std::vector<std::string> libraryNeeds(const std::string&) { return {}; }
}  // namespace platform
