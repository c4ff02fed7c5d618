// Which loaded libraries a bundle carries: those the executable reaches
// through libraries that are not base. A library reached only through base
// libraries is theirs and comes with the system; one that a bundled library
// needs too (the mixer's codecs, which PulseAudio's client also uses) is
// bundled, so the game never depends on a service being installed.
#include "host/libraries.h"

#include <cstring>
#include <map>
#include <set>

#include "platform/libraries.h"

namespace libraries {
namespace {
const char* const BASE_PREFIXES[] = {
    // glibc and the C++ runtime
    "ld-linux", "libc.so", "libm.so", "libdl.so", "libpthread.so", "librt.so", "libresolv.so",
    "libutil.so", "libmvec.so", "libanl.so", "libnsl.so", "libcrypt.so", "libstdc++.so",
    "libgcc_s.so", "libatomic.so",
    // GL drivers
    "libGL.so", "libGLX", "libEGL", "libGLES", "libGLdispatch", "libOpenGL", "libgbm", "libdrm",
    // window system clients
    "libX", "libxcb", "libxkbcommon", "libwayland-", "libdecor",
    // sound and desktop services
    "libasound", "libpulse", "libjack", "libsndio", "libpipewire", "libdbus-", "libsystemd",
    "libglib-", "libgobject-", "libgio-", "libgmodule-", "libgthread-",
    // what those need: compression, crypto, terminal
    "libz.so", "liblzma", "libzstd", "liblz4", "libbz2", "libgcrypt", "libgpg-error", "libcrypto",
    "libssl", "libtinfo", "libncurses", "libcap", "libffi", "libpcre", "libselinux", "libudev"};
}  // namespace

bool isBase(const std::string& name) {
  for (const char* prefix : BASE_PREFIXES)
    if (name.compare(0, strlen(prefix), prefix) == 0) return true;
  return false;
}

std::vector<Library> toBundle() {
  std::map<std::string, std::string> loaded = platform::loadedLibraries();
  // Bundled: what the executable reaches without passing through base.
  std::vector<Library> bundle;
  std::set<std::string> seen;
  std::vector<std::string> pending = platform::executableNeeds();
  while (!pending.empty()) {
    std::string name = pending.back();
    pending.pop_back();
    auto found = loaded.find(name);
    if (isBase(name) || found == loaded.end() || !seen.insert(name).second) continue;
    bundle.push_back({name, found->second});
    for (const std::string& dependency : platform::libraryNeeds(found->second))
      pending.push_back(dependency);
  }
  return bundle;
}
}  // namespace libraries
