// The program's entry (SDL's own entry is not used): sets up the process,
// reads the command line, mounts the game (folder, archive, or the archive
// this executable carries) and runs it, or converts a model, or packages a
// game.
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "host/convertmodel.h"
#include "host/gamemount.h"
#include "host/options.h"
#include "host/shipping.h"
#include "host/starter.h"
#include "host/startup.h"
#include "host/webexport.h"
#include "platform/process.h"

int main(int argc, char** argv) {
  platform::startProcess(argc, argv);
  // The build defines SDL_MAIN_HANDLED: this is the process entry on every
  // system, and SDL is told so.
  SDL_SetMainReady();

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
    runOptions.screenshot =
        std::filesystem::absolute(std::filesystem::u8path(runOptions.screenshot)).u8string();
  if (int status = gamemount::mount(runOptions)) return status;
  platform::keepFreedMemory();
  return host::run(runOptions);
}
