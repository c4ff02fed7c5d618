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
