// The shared libraries a player's machine may lack: every library this
// process was linked with, minus the base system's (glibc and the C++
// runtime, the GL/GLX/EGL/DRM/GBM driver libraries, the X11/xcb/Wayland/
// xkbcommon clients, the sound and desktop services' clients, the compression,
// crypto and terminal libraries they need, and whatever only they need).
#pragma once

#include <string>
#include <vector>

namespace libraries {
struct Library {
  std::string name;  // as the loader looks it up (its DT_NEEDED name)
  std::string path;  // where this process loaded it from
};

// True for a library of the base system, by its name.
bool isBase(const std::string& name);
// The libraries loaded with this process that a bundle must carry, by name.
// None where the platform lists no loaded libraries (Windows, whose bundle
// takes the runtime folder's DLL list, and a page).
std::vector<Library> toBundle();
}  // namespace libraries
