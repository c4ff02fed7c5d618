// The program's entry, reached through SDL's process entry: reads the command
// line, enters the game folder and runs the game (or converts a model).
#include <SDL.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "host/convertmodel.h"
#include "host/options.h"
#include "host/starter.h"
#include "host/startup.h"

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
    case options::Outcome::RUN:
      break;
  }
  // A relative screenshot path names a file where the command was run, not in
  // the game folder entered below.
  if (!runOptions.screenshot.empty())
    runOptions.screenshot = std::filesystem::absolute(runOptions.screenshot).string();
  if (chdir(runOptions.gameDir.c_str()) != 0) {
    fprintf(stderr, "tarnwick: cannot enter game folder '%s': %s\n", runOptions.gameDir.c_str(),
            strerror(errno));
    return 2;
  }
  return host::run(runOptions);
}
