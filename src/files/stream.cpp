// The in-memory stream through fopencookie.
#include "files/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace stream {
namespace {
struct Cookie {
  std::string bytes;
  size_t at = 0;
};

ssize_t readBytes(void* cookie, char* buffer, size_t size) {
  auto* c = static_cast<Cookie*>(cookie);
  size_t count = std::min(size, c->bytes.size() - c->at);
  memcpy(buffer, c->bytes.data() + c->at, count);
  c->at += count;
  return static_cast<ssize_t>(count);
}

int seekTo(void* cookie, off64_t* offset, int whence) {
  auto* c = static_cast<Cookie*>(cookie);
  off64_t base = whence == SEEK_SET ? 0
                 : whence == SEEK_CUR ? static_cast<off64_t>(c->at)
                                      : static_cast<off64_t>(c->bytes.size());
  off64_t target = base + *offset;
  if (target < 0 || target > static_cast<off64_t>(c->bytes.size())) {
    errno = EINVAL;
    return -1;
  }
  c->at = static_cast<size_t>(target);
  *offset = target;
  return 0;
}

int closeStream(void* cookie) {
  delete static_cast<Cookie*>(cookie);
  return 0;
}
}  // namespace

FILE* fromBytes(std::string bytes) {
  auto* cookie = new Cookie{std::move(bytes), 0};
  cookie_io_functions_t functions = {readBytes, nullptr, seekTo, closeStream};
  FILE* file = fopencookie(cookie, "rb", functions);
  if (!file) delete cookie;
  return file;
}
}  // namespace stream
