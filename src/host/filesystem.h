// File-change notification: the seam for live reloading of scripts and shaders.
// The desktop platform watches nothing; the registration is only logged.
#pragma once

#include <functional>
#include <string>

namespace filesystem {
enum Change { MODIFIED = 0, REMOVED = 1, ADDED = 2 };

void watch(std::string path, std::function<void(Change, std::string)> callback);
}  // namespace filesystem
