// The program's entry, reached through SDL's process entry: reads the command
// line, mounts the game (folder, archive, or the archive this executable
// carries) and runs it, or converts a model, or packages a game.
#include <SDL.h>
#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "host/convertmodel.h"
#include "host/gamemount.h"
#include "host/options.h"
#include "host/shipping.h"
#include "host/starter.h"
#include "host/startup.h"
#include "host/webexport.h"

namespace {
// The software GL driver allocates and frees its per-frame vertex and bin
// storage every frame. With glibc's defaults that memory goes back to the
// kernel at each free and is faulted in again the next frame, which costs
// more than drawing a small sprite; keeping up to 64 MiB of freed memory
// makes the frame reuse it. The resident size then stays at the frame's peak.
void keepFreedMemoryForTheNextFrame() {
#ifdef __GLIBC__
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}
}  // namespace

int main(int argc, char** argv) {
  // Line-buffered, so the log keeps its order with stderr and survives a crash.
  setvbuf(stdout, nullptr, _IOLBF, 0);

  Options runOptions;
  std::string message;
  switch (options::parse(argc, argv, runOptions, message)) {
    case options::Outcome::HELP:
      fputs(options::usage(), stdout);
      return 0;
    case options::Outcome::VERSION:
      printf("tarnwick %s\n", host::version());
      return 0;
    case options::Outcome::BAD:
      fprintf(stderr, "%s\n", message.c_str());
      return 2;
    case options::Outcome::CONVERT:
      return convertmodel::run(runOptions.convertObj, runOptions.convertMod,
                               runOptions.convertAnimation);
    case options::Outcome::NEW_GAME:
      return starter::write(runOptions.newGame);
    case options::Outcome::SHIP:
      if (runOptions.ship == "package")
        return shipping::packageGame(runOptions.shipGame, runOptions.shipOut);
      if (runOptions.ship == "fuse")
        return shipping::fuseGame(runOptions.shipGame, runOptions.shipOut, runOptions.shipTarget);
      if (runOptions.ship == "export-web")
        return webexport::exportGame(runOptions.shipGame, runOptions.shipOut);
      return shipping::bundleGame(runOptions.shipGame, runOptions.shipOut,
                                  runOptions.shipTarget);
    case options::Outcome::RUN:
      break;
  }
  // A relative screenshot path names a file where the command was run, not in
  // the game folder entered below.
  if (!runOptions.screenshot.empty())
    runOptions.screenshot = std::filesystem::absolute(runOptions.screenshot).string();
  if (int status = gamemount::mount(runOptions)) return status;
  keepFreedMemoryForTheNextFrame();
  return host::run(runOptions);
}
