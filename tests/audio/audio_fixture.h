// What the audio tests share: sounds written as WAV files by the test itself,
// a game folder that is the working directory while a test runs (audio paths
// are relative to it), and the log of a piece of code.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "support/capture.h"
#include "support/game_run.h"

namespace audiotest {

// A 16-bit mono PCM WAV at 44100 Hz of `seconds`, sample i being
// `sample(i)`, header by hand.
inline std::string monoWav(double seconds, const std::function<int16_t(uint32_t)>& sample) {
  const uint32_t rate = 44100;
  const uint32_t frames = static_cast<uint32_t>(seconds * rate);
  std::string wav;
  auto put32 = [&wav](uint32_t v) { for (int i = 0; i < 4; ++i) wav += static_cast<char>(v >> (8 * i)); };
  auto put16 = [&wav](uint16_t v) { for (int i = 0; i < 2; ++i) wav += static_cast<char>(v >> (8 * i)); };
  wav += "RIFF";
  put32(36 + frames * 2);
  wav += "WAVEfmt ";
  put32(16);
  put16(1);  // PCM
  put16(1);  // channels
  put32(rate);
  put32(rate * 2);  // bytes per second
  put16(2);         // bytes per frame
  put16(16);        // bits per sample
  wav += "data";
  put32(frames * 2);
  for (uint32_t i = 0; i < frames; ++i) put16(static_cast<uint16_t>(sample(i)));
  return wav;
}

// A sine of `hertz` lasting `seconds`, amplitude 8000.
inline std::string sineWav(double seconds, double hertz = 440) {
  return monoWav(seconds, [hertz](uint32_t i) {
    return static_cast<int16_t>(8000 * std::sin(2 * M_PI * hertz * i / 44100));
  });
}

// Every sample `level`: mixed sounds add up, so levels are easy to read back.
inline std::string levelWav(double seconds, int16_t level) {
  return monoWav(seconds, [level](uint32_t) { return level; });
}

// Standard output while `code` runs.
inline std::string logOf(const std::function<void()>& code) {
  return testsupport::captureOutput(code);
}

// A game folder with the usual test sounds that is the working directory for
// the fixture's lifetime.
struct InGameFolder : ::testing::Test {
  testsupport::GameFolder game;
  std::string previous;

  void SetUp() override {
    game.write("assets/audio/blip.wav", sineWav(2));
    game.write("assets/audio/sfx/pop.wav", sineWav(2));
    game.write("assets/audio/theme.wav", sineWav(0.05));
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    previous = cwd;
    ASSERT_EQ(chdir(game.path().c_str()), 0);
  }
  void TearDown() override { EXPECT_EQ(chdir(previous.c_str()), 0); }
};

}  // namespace audiotest
