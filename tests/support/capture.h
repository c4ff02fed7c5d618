// Reading what code under test prints: the one way tests capture the log.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace testsupport {

// Everything printed on standard output while `body` runs.
template <typename Body>
std::string captureOutput(Body body) {
  fflush(stdout);
  ::testing::internal::CaptureStdout();
  body();
  fflush(stdout);
  return ::testing::internal::GetCapturedStdout();
}

}  // namespace testsupport
