// The audio module as scripts see it: its members, the argument checks, the
// calls reaching the mixer, and the module inside a real game run.
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "audio/audio.h"
#include "audio/audio_fixture.h"
#include "modules_fixture.h"
#include "support/game_run.h"
#include "support/lua_state.h"

using bindingstest::runScript;

namespace {
struct AudioModule : audiotest::InGameFolder {
  testsupport::LuaState lua;
  void SetUp() override {
    InGameFolder::SetUp();
    bindingstest::openModules(lua);
  }
  void TearDown() override {
    audio::clear();
    InGameFolder::TearDown();
  }
};

TEST_F(AudioModule, HasItsFunctionsAndChecksTheirArguments) {
  runScript(lua,
            "local names = {}\n"
            "for name, value in pairs(audio) do\n"
            "  assert(type(value) == 'function', name)\n"
            "  names[#names + 1] = name\n"
            "end\n"
            "table.sort(names)\n"
            "assert(table.concat(names, ' ') ==\n"
            "  'clear fadeOutMusic getEffectsVolume getMasterVolume getMusicVolume init isSoundPlaying'\n"
            "  .. ' muteMusic muteSound pauseMusic playEffect playMusic playSound resumeMusic'\n"
            "  .. ' setEffectsVolume setMasterVolume setMusicVolume setSoundPan setSoundVolume startMusic'\n"
            "  .. ' stopAllSounds stopMusic stopSound', table.concat(names, ' '))\n"
            "expectError(function() audio.muteMusic(1) end,\n"
            "            \"game:12: Error in audio::muteMusic (arg 1), expected 'bool' got 'number'\")\n"
            "expectError(function() audio.muteSound(nil) end,\n"
            "            \"game:14: Error in audio::muteSound (arg 1), expected 'bool' got 'nil'\")\n"
            "expectError(function() audio.playMusic(nil) end,\n"
            "            \"game:16: Error in audio::playMusic (arg 1), expected 'char const *' got 'nil'\")\n"
            "expectError(function() audio.playEffect() end,\n"
            "            'game:18: Error in audio::playEffect expected 1..1 args, got 0')\n"
            "expectError(function() audio.init(true) end, 'game:20: Error in audio::init expected 0..0 args, got 1')\n");
}

TEST_F(AudioModule, ScriptCallsReachTheMixerAndReturnNothing) {
  std::string log = audiotest::logOf([this] {
    runScript(lua,
              "assert(select('#', audio.init()) == 0)\n"
              "assert(select('#', audio.muteSound(true)) == 0)\n"
              "assert(select('#', audio.playEffect('blip.wav')) == 0)\n"
              "audio.playEffect('blip.wav')\n"
              "assert(select('#', audio.playMusic('theme.wav')) == 0)\n");
  });
  EXPECT_EQ(log, "Load sound assets/audio/blip.wav\n");
  EXPECT_TRUE(Mix_Playing(0));
  EXPECT_EQ(Mix_Volume(0, -1), 0);  // muting holds for effects started later
  EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);

  runScript(lua, "assert(select('#', audio.muteMusic(true)) == 0) audio.playMusic('theme.wav')");
  EXPECT_TRUE(Mix_PlayingMusic());
  EXPECT_EQ(Mix_VolumeMusic(-1), 0);
  EXPECT_EQ(Mix_Volume(0, -1), 0);

  runScript(lua, "audio.pauseMusic()");
  EXPECT_TRUE(Mix_PausedMusic());
  runScript(lua, "audio.resumeMusic() audio.muteMusic(false) audio.muteSound(false)");
  EXPECT_FALSE(Mix_PausedMusic());
  EXPECT_EQ(Mix_Volume(0, -1), MIX_MAX_VOLUME);
  EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME);

  runScript(lua, "audio.clear()");
  EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(audio::music, nullptr);
}

TEST_F(AudioModule, OptionTablesAreCheckedAndHandlesComeBack) {
  runScript(lua,
            "audio.init() local sound = audio.playSound('blip.wav')\n"
            "assert(type(sound) == 'number' and sound > 0 and audio.isSoundPlaying(sound))\n"
            "local looping = audio.playSound('blip.wav', { volume = 0.5, pan = -1, pitch = 1.5, loop = true })\n"
            "assert(looping ~= sound and audio.isSoundPlaying(looping))\n"
            "audio.stopSound(sound)\n"
            "assert(not audio.isSoundPlaying(sound) and audio.isSoundPlaying(looping))\n"
            "audio.setMasterVolume(2) assert(audio.getMasterVolume() == 1)\n"
            "audio.setMusicVolume(0.25) assert(audio.getMusicVolume() == 0.25)\n"
            "audio.startMusic('theme.wav', { fadeIn = 0.1, loop = 2 })\n"
            "expectError(function() audio.playSound('blip.wav', 5) end,\n"
            "            \"game:10: Error in audio::playSound (arg 2), expected 'audio::SoundOptions const &' got 'number'\")\n"
            "expectError(function() audio.playSound('blip.wav', { volume = 'loud' }) end,\n"
            "            'game:12: option volume must be a number, got string')\n"
            "expectError(function() audio.startMusic('theme.wav', { loop = 'always' }) end,\n"
            "            'game:14: option loop must be a number or a boolean, got string')\n"
            "expectError(function() audio.playSound() end,\n"
            "            'game:16: Error in audio::playSound expected 1..2 args, got 0')\n"
            // Values far out of range are clamped, not passed on.
            "assert(audio.playSound('blip.wav', { pitch = 1e39, volume = -1, pan = 0 / 0, loop = 1e300 }) > 0)\n"
            "assert(audio.playSound('blip.wav', { pitch = -math.huge, volume = math.huge, pan = 1e39 }) > 0)\n"
            "audio.startMusic('theme.wav', { fadeIn = 1e39, position = math.huge, loop = -1 })\n"
            "audio.fadeOutMusic(1e39)\n"
            "audio.startMusic('theme.wav', { loop = 2 })\n");
  EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME / 4);
  EXPECT_TRUE(Mix_PlayingMusic());
  EXPECT_EQ(lua_gettop(lua), 0);
}

// A game whose init plays music and the same effect twice, run for 3 frames.
testsupport::GameRun runAudioGame() {
  testsupport::GameFolder game;
  game.write("assets/audio/blip.wav", audiotest::sineWav(0.2));
  game.writeMain(
      "config = { width = 64, height = 48 }\n"
      "world = { camera = {} }\n"
      "function init()\n"
      "  audio.playMusic('blip.wav')\n"
      "  audio.playEffect('blip.wav')\n"
      "  audio.playEffect('blip.wav')\n"
      "end\n"
      "function update(dt) end\n");
  return testsupport::runFrames(game, 3);
}

void expectNormalRunWithOneLoad(const testsupport::GameRun& run) {
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  EXPECT_EQ(testsupport::countLines(run.out, "Load sound assets/audio/blip.wav"), 1) << run.out;
  EXPECT_TRUE(testsupport::linesInOrder(run.out, {"Call main lua init", "Load sound assets/audio/blip.wav",
                                                  "Start main loop", "SDLquit", "Final quit"}))
      << run.out;
}

TEST(AudioGame, EffectsPlayedFromInitAreLoadedOnce) { expectNormalRunWithOneLoad(runAudioGame()); }

TEST(AudioGame, AGameRunsSilentlyWhenTheDeviceCannotOpen) {
  // The disk driver starts with SDL, but its device cannot open a file there.
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/nonexistent/folder/out.raw", 1);
  expectNormalRunWithOneLoad(runAudioGame());
}
}  // namespace
