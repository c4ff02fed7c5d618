// DLOG prints exactly what printf would, however long the message.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/log.h"

namespace {
std::string captureLog(const std::function<void()>& body) {
  testing::internal::CaptureStdout();
  body();
  fflush(stdout);
  return testing::internal::GetCapturedStdout();
}
}  // namespace

TEST(Log, PrintsThePrintfTextWithNothingAdded) {
  EXPECT_EQ(captureLog([] { DLOG("a %d %s %.2f|", 3, "b", 1.5); }), "a 3 b 1.50|");
  EXPECT_EQ(captureLog([] { DLOG("%s", ""); }), "");
}

TEST(Log, LongMessagesArePrintedWhole) {
  for (size_t length : {1022u, 1023u, 1024u, 5000u}) {
    std::string text(length, 'x');
    text.back() = '!';
    EXPECT_EQ(captureLog([&] { DLOG("%s\n", text.c_str()); }), text + "\n") << length;
  }
}
