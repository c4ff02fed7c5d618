// DLOG prints exactly what printf would, however long the message.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/log.h"
#include "support/capture.h"

using testsupport::captureOutput;

TEST(Log, PrintsThePrintfTextWithNothingAdded) {
  EXPECT_EQ(captureOutput([] { DLOG("a %d %s %.2f|", 3, "b", 1.5); }), "a 3 b 1.50|");
  EXPECT_EQ(captureOutput([] { DLOG("%s", ""); }), "");
}

TEST(Log, LongMessagesArePrintedWhole) {
  for (size_t length : {1022u, 1023u, 1024u, 5000u}) {
    std::string text(length, 'x');
    text.back() = '!';
    EXPECT_EQ(captureOutput([&] { DLOG("%s\n", text.c_str()); }), text + "\n") << length;
  }
}

TEST(Log, QuietDropsInfoDebugAndEmptyLinesByLevelNotByText) {
  auto everyLevel = [] {
    DLOG(LogLevel::Error, "error %d\n", 1);
    DLOG(LogLevel::Warning, "warning\n");
    DLOG("unlevelled\n");
    DLOG(LogLevel::Info, "info\n");
    DLOG(LogLevel::Debug, "debug\n");
    DLOG(LogLevel::Warning, "%s", "\n");
    // The level decides, not the text: a progress text at Warning is kept.
    DLOG(LogLevel::Warning, "Start main loop\n");
  };
  EXPECT_EQ(captureOutput(everyLevel),
            "error 1\nwarning\nunlevelled\ninfo\ndebug\n\nStart main loop\n");
  setQuietLog(true);
  std::string quiet = captureOutput(everyLevel);
  setQuietLog(false);
  EXPECT_EQ(quiet, "error 1\nwarning\nunlevelled\nStart main loop\n");
}
