// The audio operations against the real mixer on SDL's dummy driver: what is
// loaded and logged, what plays on which channel, and what `clear` leaves.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <string>

#include "audio/audio.h"
#include "audio_fixture.h"
#include "support/game_run.h"

using audiotest::logOf;
using testsupport::countLines;

namespace {
bool deviceOpen() { return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0; }

struct Audio : audiotest::InGameFolder {
  void SetUp() override {
    InGameFolder::SetUp();
    audio::init();
    ASSERT_TRUE(deviceOpen()) << Mix_GetError();
  }
  void TearDown() override {
    audio::clear();
    InGameFolder::TearDown();
  }
};

TEST_F(Audio, EffectsLoadOncePerPathAndTakeTurnsOnChannelZero) {
  std::string log = logOf([] {
    audio::playEffect("blip.wav");
    audio::playEffect("blip.wav");
  });
  EXPECT_EQ(log, "Load sound assets/audio/blip.wav\n");
  Mix_Chunk* blip = audio::effects.at("assets/audio/blip.wav");
  ASSERT_NE(blip, nullptr);
  EXPECT_EQ(Mix_GetChunk(0), blip);

  audio::playEffect("sfx/pop.wav");
  Mix_Chunk* pop = audio::effects.at("assets/audio/sfx/pop.wav");
  ASSERT_NE(pop, nullptr);
  EXPECT_EQ(Mix_GetChunk(0), pop);
  EXPECT_EQ(Mix_Playing(-1), 1);

  // A file that does not load is logged once, never retried, and cuts nothing.
  log = logOf([] {
    audio::playEffect("gone.wav");
    audio::playEffect("gone.wav");
  });
  EXPECT_EQ(log, "Load sound assets/audio/gone.wav\n");
  EXPECT_EQ(audio::effects.at("assets/audio/gone.wav"), nullptr);
  EXPECT_EQ(Mix_GetChunk(0), pop);
  EXPECT_EQ(audio::effects.size(), 3u);
}

TEST_F(Audio, MusicLoopsPausesAndGivesWayToTheNextTrack) {
  audio::pauseMusic();
  audio::resumeMusic();
  EXPECT_FALSE(Mix_PlayingMusic());
  EXPECT_FALSE(Mix_PausedMusic());

  audio::playMusic("theme.wav");
  ASSERT_NE(audio::music, nullptr);
  // The track lasts 50 ms; only looping keeps it going.
  SDL_Delay(400);
  EXPECT_TRUE(Mix_PlayingMusic());
  audio::pauseMusic();
  EXPECT_TRUE(Mix_PausedMusic());
  audio::resumeMusic();
  EXPECT_FALSE(Mix_PausedMusic());

  audio::playMusic("missing.wav");
  EXPECT_EQ(audio::music, nullptr);
  EXPECT_FALSE(Mix_PlayingMusic());
  audio::pauseMusic();
  EXPECT_FALSE(Mix_PausedMusic());
}

TEST_F(Audio, ClearReleasesEverythingSoLaterCallsStartAfresh) {
  audio::init();  // the script may open the device again; one clear still closes it
  audio::playMusic("theme.wav");
  audio::playEffect("blip.wav");
  audio::playEffect("gone.wav");
  audio::clear();
  EXPECT_EQ(audio::music, nullptr);
  EXPECT_TRUE(audio::effects.empty());
  EXPECT_FALSE(deviceOpen());

  // Nothing here may touch the freed track, chunks or channels.
  audio::pauseMusic();
  audio::resumeMusic();
  audio::muteSound(true);
  audio::setEffectsVolume(0.5f);
  audio::stopAllSounds();
  EXPECT_EQ(audio::playSound("blip.wav", audio::SoundOptions()), 0);
  audio::fadeOutMusic(1);
  audio::clear();
  audio::init();
  ASSERT_TRUE(deviceOpen());
  audio::playMusic("theme.wav");
  EXPECT_TRUE(Mix_PlayingMusic());
  EXPECT_EQ(logOf([] { audio::playEffect("blip.wav"); }), "Load sound assets/audio/blip.wav\n");
  EXPECT_EQ(Mix_GetChunk(0), audio::effects.at("assets/audio/blip.wav"));
  // The volume set while closed holds; the mute ended with the device.
  EXPECT_EQ(Mix_Volume(0, -1), MIX_MAX_VOLUME / 2);
}

TEST_F(Audio, NamesTooLongForThePathBufferAreRefusedWhole) {
  // 114 characters is the most that fits beside "assets/audio/" in 128.
  const std::string longest = std::string(110, 'a') + ".wav";
  const std::string tooLong = std::string(111, 'a') + ".wav";
  game.write("assets/audio/" + longest, audiotest::sineWav(0.5));
  game.write("assets/audio/" + tooLong, audiotest::sineWav(0.5));
  const std::string refused = "Audio name too long (at most 114 characters): ";

  audio::playMusic("theme.wav");
  std::string log = logOf([&] {
    audio::playEffect(tooLong.c_str());
    audio::playMusic(tooLong.c_str());
  });
  EXPECT_EQ(log, refused + tooLong + "\n" + refused + tooLong + "\n");
  EXPECT_TRUE(audio::effects.empty());
  EXPECT_FALSE(Mix_Playing(0));
  EXPECT_TRUE(Mix_PlayingMusic());  // a refused name leaves the current track alone

  const std::string huge(5000, 'x');
  log = logOf([&] {
    audio::playEffect(huge.c_str());
    audio::playMusic(huge.c_str());
  });
  EXPECT_EQ(countLines(log, refused + huge), 2);

  log = logOf([&] { audio::playEffect(longest.c_str()); });
  EXPECT_EQ(log, "Load sound assets/audio/" + longest + "\n");
  EXPECT_TRUE(Mix_Playing(0));
}
}  // namespace
