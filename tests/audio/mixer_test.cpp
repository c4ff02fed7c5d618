// The mixer as a player hears it: sounds played through SDL's disk driver and
// the written samples read back. Sounds are constant levels, so mixed sounds
// add up to levels that show which sounds were playing.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "audio/audio.h"
#include "audio_fixture.h"
#include "disk_audio.h"

using diskaudio::longestRunAt;
using diskaudio::peak;

namespace {
// A quarter of a second of samples: plenty to show a level that held.
const size_t HELD = diskaudio::RATE / 4;

struct Mixer : audiotest::InGameFolder {
  void SetUp() override {
    InGameFolder::SetUp();
    diskaudio::useDiskDriver(game.file("out.raw"));
    game.write("assets/audio/one.wav", audiotest::levelWav(1, 1000));
    game.write("assets/audio/two.wav", audiotest::levelWav(1, 2000));
    game.write("assets/audio/four.wav", audiotest::levelWav(1, 4000));
    game.write("assets/audio/short.wav", audiotest::levelWav(0.4, 1000));
    game.write("assets/audio/long.wav", audiotest::levelWav(3, 100));
    game.write("assets/audio/big.wav", audiotest::levelWav(3, 3000));
    audio::init();
    ASSERT_NE(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << Mix_GetError();
  }
  // Closes the device, which completes the file, and reads it.
  diskaudio::Written finish() {
    audio::clear();
    return diskaudio::read(game.file("out.raw"));
  }
  void TearDown() override {
    audio::clear();
    InGameFolder::TearDown();
  }
};

audio::SoundOptions with(float volume, float pan = 0, float pitch = 1, int loops = 0) {
  audio::SoundOptions options;
  options.volume = volume;
  options.pan = pan;
  options.pitch = pitch;
  options.loops = loops;
  return options;
}

TEST_F(Mixer, OverlappingSoundsAllSoundBesideChannelZero) {
  int one = audio::playSound("one.wav", with(1));
  int two = audio::playSound("two.wav", with(1));
  audio::playEffect("four.wav");
  EXPECT_NE(one, 0);
  EXPECT_NE(two, 0);
  EXPECT_NE(one, two);
  SDL_Delay(500);
  EXPECT_TRUE(audio::isSoundPlaying(one));
  EXPECT_TRUE(audio::isSoundPlaying(two));
  diskaudio::Written written = finish();
  EXPECT_GE(longestRunAt(written.left, 7000), HELD);
  EXPECT_GE(longestRunAt(written.right, 7000), HELD);
  EXPECT_EQ(peak(written.left), 7000);
}

TEST_F(Mixer, VolumesScaleTheAmplitudeAndMultiply) {
  audio::playSound("short.wav", with(0.5f));
  SDL_Delay(600);
  audio::setMasterVolume(0.5f);
  audio::setEffectsVolume(0.5f);
  audio::playSound("short.wav", with(1));
  SDL_Delay(600);
  audio::muteSound(true);
  audio::playSound("short.wav", with(1));
  audio::playEffect("short.wav");
  SDL_Delay(600);
  diskaudio::Written written = finish();
  EXPECT_EQ(peak(written.left), 500);
  EXPECT_GE(longestRunAt(written.left, 500), HELD);
  EXPECT_GE(longestRunAt(written.left, 250), HELD);
  // Muted, nothing sounded: the one stretch at 250 is the second sound alone.
  EXPECT_EQ(diskaudio::soundingStretches(written.left, 100).size(), 2u);
}

TEST_F(Mixer, PanMovesTheSoundBetweenTheSides) {
  int sound = audio::playSound("one.wav", with(1, -1));
  SDL_Delay(400);
  audio::setSoundPan(sound, 1);
  SDL_Delay(400);
  diskaudio::Written written = finish();
  EXPECT_GE(longestRunAt(written.left, 1000), HELD / 2);
  EXPECT_GE(longestRunAt(written.right, 1000), HELD / 2);
  for (size_t i = 0; i < written.left.size(); ++i)
    ASSERT_TRUE(written.left[i] == 0 || written.right[i] == 0) << "both sides sound at " << i;
}

TEST_F(Mixer, StopSilencesAndOldHandlesTouchNothing) {
  int first = audio::playSound("long.wav", with(1));
  SDL_Delay(300);
  audio::stopSound(first);
  EXPECT_FALSE(audio::isSoundPlaying(first));
  // The voice goes to the next sound; the old handle must not reach it.
  int second = audio::playSound("two.wav", with(1));
  audio::stopSound(first);
  audio::setSoundVolume(first, 0);
  audio::setSoundPan(first, 1);
  for (int nonsense : {0, -5, 1 << 30, 63}) audio::stopSound(nonsense);
  EXPECT_TRUE(audio::isSoundPlaying(second));
  SDL_Delay(300);
  audio::stopSound(second);
  SDL_Delay(400);
  diskaudio::Written written = finish();
  // Two stretches, far shorter than the sounds, then silence to the end.
  std::vector<size_t> stretches = diskaudio::soundingStretches(written.left, 50);
  ASSERT_GE(stretches.size(), 1u);
  for (size_t stretch : stretches) EXPECT_LT(stretch, size_t(diskaudio::RATE * 0.8));
  EXPECT_EQ(longestRunAt(written.right, 2000), longestRunAt(written.left, 2000));
  EXPECT_GE(longestRunAt(written.left, 2000), size_t(1000));
  std::vector<int16_t> tail(written.left.end() - diskaudio::RATE / 5, written.left.end());
  EXPECT_EQ(peak(tail), 0);
}

TEST_F(Mixer, DoublePitchHalvesTheLength) {
  audio::playSound("short.wav", with(1));
  SDL_Delay(700);
  int fast = audio::playSound("short.wav", with(1, 0, 2));
  EXPECT_NE(fast, 0);
  SDL_Delay(500);
  diskaudio::Written written = finish();
  std::vector<size_t> stretches = diskaudio::soundingStretches(written.left, 500);
  ASSERT_EQ(stretches.size(), 2u);
  EXPECT_NEAR(static_cast<double>(stretches[0]), 0.4 * diskaudio::RATE, 50);
  EXPECT_NEAR(static_cast<double>(stretches[1]) / static_cast<double>(stretches[0]), 0.5, 0.01);
}

// Heard higher, not only shorter: a resampler run the wrong way round still
// gives the right length once cut to it, but a tone an octave down.
TEST_F(Mixer, DoublePitchDoublesTheFrequency) {
  game.write("assets/audio/tone.wav", audiotest::sineWav(1, 500));
  audio::playSound("tone.wav", with(1, 0, 2));
  SDL_Delay(700);
  diskaudio::Written written = finish();
  size_t first = diskaudio::firstSounding(written.left, 100);
  ASSERT_LT(first + diskaudio::RATE / 3, written.left.size());
  // A fifth of a second well inside the half second it lasts.
  size_t from = first + diskaudio::RATE / 10, count = diskaudio::RATE / 5;
  EXPECT_GT(diskaudio::toneAmplitude(written.left, from, count, 1000), 6000);
  EXPECT_LT(diskaudio::toneAmplitude(written.left, from, count, 500), 500);
}

TEST_F(Mixer, WithEveryVoiceBusyTheOldestThatDoesNotLoopGivesWay) {
  int looping = audio::playSound("long.wav", with(1, 0, 1, -1));
  int oldest = audio::playSound("big.wav", with(1));
  for (int i = 2; i < audio::VOICES; ++i) ASSERT_NE(audio::playSound("long.wav", with(1)), 0);
  SDL_Delay(400);
  int extra = audio::playSound("long.wav", with(1));
  EXPECT_NE(extra, 0);
  EXPECT_FALSE(audio::isSoundPlaying(oldest));
  EXPECT_TRUE(audio::isSoundPlaying(looping));
  EXPECT_TRUE(audio::isSoundPlaying(extra));
  SDL_Delay(400);
  diskaudio::Written written = finish();
  const int others = (audio::VOICES - 1) * 100;
  EXPECT_GE(longestRunAt(written.left, 3000 + others), HELD);
  EXPECT_GE(longestRunAt(written.left, 100 + others), HELD);
}

TEST_F(Mixer, MusicStartsAtAPositionFadesAndStops) {
  // A track whose level tells the time: 1000 + 2000 per second.
  game.write("assets/audio/ramp.wav", audiotest::monoWav(2, [](uint32_t i) {
               return static_cast<int16_t>(1000 + 2000 * i / 44100);
             }));
  audio::MusicOptions options;
  options.position = 1;
  options.loops = 0;
  audio::setMusicVolume(0.5f);
  audio::startMusic("ramp.wav", options);
  SDL_Delay(400);
  audio::fadeOutMusic(0.2f);
  SDL_Delay(500);
  EXPECT_FALSE(Mix_PlayingMusic());
  diskaudio::Written written = finish();
  size_t first = diskaudio::firstSounding(written.left, 0);
  ASSERT_LT(first, written.left.size());
  // At half volume the track's 3000 one second in reads 1500.
  EXPECT_NEAR(written.left[first], 1500, 10);
  std::vector<size_t> stretches = diskaudio::soundingStretches(written.left, 0);
  ASSERT_EQ(stretches.size(), 1u);
  EXPECT_LT(stretches[0], size_t(diskaudio::RATE * 0.9));
}

// The master volume is the player's one knob for everything: music too,
// whether it is turned before the music starts or while it plays.
TEST_F(Mixer, MasterVolumeLowersTheMusicToo) {
  audio::setMasterVolume(0.5f);
  audio::startMusic("one.wav", audio::MusicOptions());
  SDL_Delay(400);
  audio::setMasterVolume(0.25f);
  SDL_Delay(400);
  audio::stopMusic();
  audio::setMasterVolume(1);
  diskaudio::Written written = finish();
  EXPECT_EQ(peak(written.left), 500);
  EXPECT_GE(longestRunAt(written.left, 500), HELD);
  EXPECT_GE(longestRunAt(written.left, 250), HELD);
}

TEST_F(Mixer, MusicFadesIn) {
  audio::MusicOptions options;
  options.fadeIn = 0.5f;
  audio::startMusic("one.wav", options);
  SDL_Delay(900);
  audio::stopMusic();
  EXPECT_EQ(audio::music, nullptr);
  diskaudio::Written written = finish();
  size_t first = diskaudio::firstSounding(written.left, 0);
  ASSERT_LT(first, written.left.size());
  EXPECT_LT(written.left[first], 300);
  EXPECT_GE(longestRunAt(written.left, 1000), size_t(4096));
}

TEST_F(Mixer, OggAndFlacMusicAndEffectsDecode) {
  for (const char* format : {"ogg", "flac"}) {
    std::string command = std::string("sox assets/audio/one.wav assets/audio/one.") + format;
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "sox cannot write " << format;
  }
  for (auto track : {std::make_pair("one.ogg", MUS_OGG), std::make_pair("one.flac", MUS_FLAC)}) {
    audio::startMusic(track.first, audio::MusicOptions());
    ASSERT_NE(audio::music, nullptr) << track.first;
    EXPECT_EQ(Mix_GetMusicType(audio::music), track.second);
    EXPECT_TRUE(Mix_PlayingMusic());
  }
  audio::stopMusic();
  int ogg = audio::playSound("one.ogg", with(1));
  int flac = audio::playSound("one.flac", with(1));
  EXPECT_NE(ogg, 0);
  EXPECT_NE(flac, 0);
  SDL_Delay(400);
  diskaudio::Written written = finish();
  // Lossy Ogg lands near its level; FLAC exactly on it.
  EXPECT_NEAR(peak(written.left), 2000, 200);
  EXPECT_GE(longestRunAt(written.left, 2000, 200), HELD / 2);
}
}  // namespace
