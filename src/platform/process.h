// The process around a run: where the log goes and how it is buffered, the
// command line's encoding, and the allocator's tuning.
#pragma once

namespace platform {
// First thing in main: the log keeps its order with errors and survives a
// crash, and arguments are UTF-8 (on Windows they are read again from the
// wide command line; a program without a console logs to a file in the user
// data folder named after the executable).
void startProcess(int& argc, char**& argv);
// Before the frames: memory the frame frees is kept for the next frame.
void keepFreedMemory();
}  // namespace platform
