// The folder scan: walking a folder's entries and loading its PNG files under
// their names cut at the first dot. Directories are not told apart; an entry
// that is not a readable PNG is logged by loadPNG and dropped.
#include <dirent.h>

#include <cstring>
#include <string>
#include <utility>

#include "assets/resources.h"
#include "core/log.h"

namespace resources {
namespace {
// Entry names and paths the scan accepts, terminating NUL included.
const size_t MAX_NAME = 128;
const size_t MAX_PATH = 256;
const char* const EXTENSION = ".png";

// True for names like tree.png: at least five characters, and ".png" exactly
// from the first dot on (so a.b.png, a.png.bak and A.PNG are not).
bool isPNGName(const char* name) {
  if (strlen(name) < 5) return false;
  const char* dot = strchr(name, '.');
  return dot && strcmp(dot, EXTENSION) == 0;
}
}  // namespace

void forFiles(const char* folderPath, std::function<void(const char*)> func) {
  DLOG(LogLevel::Info, "Looking for files in folder %s\n", folderPath);
  DIR* folder = opendir(folderPath);
  if (!folder) return;
  while (dirent* entry = readdir(folder)) func(entry->d_name);
  closedir(folder);
}

std::list<Image> loadPNGs(const char* folder) {
  std::list<Image> images;
  forFiles(folder, [&](const char* name) {
    if (!isPNGName(name)) return;
    if (strlen(name) >= MAX_NAME) {
      DLOG(LogLevel::Warning, "File name %s is too long\n", name);
      return;
    }
    std::string path = std::string(folder) + "/" + name;
    if (path.size() >= MAX_PATH) {
      DLOG(LogLevel::Warning, "Path %s is too long\n", path.c_str());
      return;
    }
    Image image = loadPNG(path.c_str());
    if (!image.data) return;
    image.alias.assign(name, strcspn(name, "."));
    images.push_back(std::move(image));
  });
  return images;
}
}  // namespace resources
