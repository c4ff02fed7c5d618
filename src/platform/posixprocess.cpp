// The process on a POSIX system: the log is standard output, line-buffered;
// glibc's allocator keeps freed memory for the next frame.
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "platform/process.h"

namespace platform {
void startProcess(int&, char**&) {
  // Line-buffered, so the log keeps its order with stderr and survives a crash.
  setvbuf(stdout, nullptr, _IOLBF, 0);
}

// The software GL driver allocates and frees its per-frame vertex and bin
// storage every frame. With glibc's defaults that memory goes back to the
// kernel at each free and is faulted in again the next frame, which costs
// more than drawing a small sprite; keeping up to 64 MiB of freed memory
// makes the frame reuse it. The resident size then stays at the frame's peak.
void keepFreedMemory() {
#ifdef __GLIBC__
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}
}  // namespace platform
