// Linux's own services: folder change notification through inotify, and the
// ELF walk of the libraries a bundle carries.
#include <elf.h>
#include <link.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/libraries.h"
#include "platform/watch.h"

namespace platform {
namespace {
int notifier = -1;

// A file written and closed, made, moved in, deleted or moved away; a folder
// made or moved in.
const uint32_t EVENTS =
    IN_CLOSE_WRITE | IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM;

bool changeOf(uint32_t mask, FolderChange& change) {
  if (mask & (IN_DELETE | IN_MOVED_FROM)) {
    change = FolderChange::Gone;
  } else if (mask & IN_ISDIR) {
    if (!(mask & (IN_CREATE | IN_MOVED_TO))) return false;
    change = FolderChange::FolderAdded;
  } else if (mask & IN_MOVED_TO) {
    change = FolderChange::MovedIn;
  } else if (mask & IN_CLOSE_WRITE) {
    change = FolderChange::Written;
  } else {
    return false;  // a file made: its closing write follows
  }
  return true;
}

// The DT_NEEDED names of the 64-bit ELF file at `path`.
std::vector<std::string> needed(const char* path) {
  std::vector<std::string> names;
  FILE* file = fopen(path, "rb");
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

int addLoaded(dl_phdr_info* info, size_t, void* data) {
  auto* loaded = static_cast<std::map<std::string, std::string>*>(data);
  std::string path = info->dlpi_name ? info->dlpi_name : "";
  if (!path.empty() && path[0] == '/') (*loaded)[path.substr(path.rfind('/') + 1)] = path;
  return 0;
}
}  // namespace

bool startWatching(std::string& problem) {
  if (notifier < 0) notifier = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (notifier < 0) problem = strerror(errno);
  return notifier >= 0;
}

int watchFolder(const std::string& path, std::string& problem) {
  // Added to what the folder already reports: inotify gives one number per
  // folder, however often it is asked.
  int folder = inotify_add_watch(notifier, path.c_str(), EVENTS | IN_MASK_ADD);
  if (folder < 0) problem = strerror(errno);
  return folder;
}

void folderEvents(std::vector<FolderEvent>& events) {
  if (notifier < 0) return;
  alignas(inotify_event) char buffer[8192];
  for (;;) {
    ssize_t got = read(notifier, buffer, sizeof buffer);
    if (got <= 0) break;  // EAGAIN: nothing more for now
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      FolderChange change;
      if (event->len > 0 && changeOf(event->mask, change))
        events.push_back({event->wd, event->name, change});
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
}

void stopWatching() {
  if (notifier >= 0) close(notifier);
  notifier = -1;
}

std::map<std::string, std::string> loadedLibraries() {
  std::map<std::string, std::string> loaded;
  dl_iterate_phdr(addLoaded, &loaded);
  return loaded;
}

std::vector<std::string> executableNeeds() { return needed("/proc/self/exe"); }

std::vector<std::string> libraryNeeds(const std::string& path) { return needed(path.c_str()); }
}  // namespace platform
