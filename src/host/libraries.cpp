// Which loaded libraries a bundle carries: those the executable reaches
// through libraries that are not base. A library reached only through base
// libraries is theirs and comes with the system; one that a bundled library
// needs too (the mixer's codecs, which PulseAudio's client also uses) is
// bundled, so the game never depends on a service being installed.
#include "host/libraries.h"

#include <elf.h>
#include <link.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>

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

// The DT_NEEDED names of the 64-bit ELF file at `path`.
std::vector<std::string> needed(const std::string& path) {
  std::vector<std::string> names;
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return names;
  auto readAt = [file](long offset, void* into, size_t size) {
    return fseek(file, offset, SEEK_SET) == 0 && fread(into, 1, size, file) == size;
  };
  Elf64_Ehdr header;
  std::vector<Elf64_Phdr> segments;
  if (readAt(0, &header, sizeof header) && memcmp(header.e_ident, ELFMAG, SELFMAG) == 0 &&
      header.e_ident[EI_CLASS] == ELFCLASS64 && header.e_phentsize == sizeof(Elf64_Phdr)) {
    segments.resize(header.e_phnum);
    if (!readAt(static_cast<long>(header.e_phoff), segments.data(),
                segments.size() * sizeof(Elf64_Phdr)))
      segments.clear();
  }
  // File offset of a virtual address, through the loaded segment holding it.
  auto offsetOf = [&segments](Elf64_Addr address) -> long {
    for (const Elf64_Phdr& s : segments)
      if (s.p_type == PT_LOAD && address >= s.p_vaddr && address < s.p_vaddr + s.p_filesz)
        return static_cast<long>(address - s.p_vaddr + s.p_offset);
    return -1;
  };
  for (const Elf64_Phdr& segment : segments) {
    if (segment.p_type != PT_DYNAMIC) continue;
    std::vector<Elf64_Dyn> entries(segment.p_filesz / sizeof(Elf64_Dyn));
    if (!readAt(static_cast<long>(segment.p_offset), entries.data(),
                entries.size() * sizeof(Elf64_Dyn)))
      break;
    long strings = -1;
    for (const Elf64_Dyn& entry : entries)
      if (entry.d_tag == DT_STRTAB) strings = offsetOf(entry.d_un.d_ptr);
    for (const Elf64_Dyn& entry : entries) {
      char name[256] = {};
      if (entry.d_tag == DT_NEEDED && strings >= 0 &&
          readAt(strings + static_cast<long>(entry.d_un.d_val), name, sizeof name - 1))
        names.push_back(name);
    }
  }
  fclose(file);
  return names;
}

#ifdef __EMSCRIPTEN__
void loadedLibraries(std::map<std::string, std::string>&) {}  // the web runtime has none
#else
int addLoaded(dl_phdr_info* info, size_t, void* data) {
  auto* loaded = static_cast<std::map<std::string, std::string>*>(data);
  std::string path = info->dlpi_name ? info->dlpi_name : "";
  if (!path.empty() && path[0] == '/') (*loaded)[path.substr(path.rfind('/') + 1)] = path;
  return 0;
}

// Name to path of every shared library the process has loaded.
void loadedLibraries(std::map<std::string, std::string>& loaded) {
  dl_iterate_phdr(addLoaded, &loaded);
}
#endif
}  // namespace

bool isBase(const std::string& name) {
  for (const char* prefix : BASE_PREFIXES)
    if (name.compare(0, strlen(prefix), prefix) == 0) return true;
  return false;
}

std::vector<Library> toBundle() {
  std::map<std::string, std::string> loaded;  // name to path
  loadedLibraries(loaded);
  // Bundled: what the executable reaches without passing through base.
  std::vector<Library> bundle;
  std::set<std::string> seen;
  std::vector<std::string> pending = needed("/proc/self/exe");
  while (!pending.empty()) {
    std::string name = pending.back();
    pending.pop_back();
    auto found = loaded.find(name);
    if (isBase(name) || found == loaded.end() || !seen.insert(name).second) continue;
    bundle.push_back({name, found->second});
    for (const std::string& dependency : needed(found->second)) pending.push_back(dependency);
  }
  return bundle;
}
}  // namespace libraries
