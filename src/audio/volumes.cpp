// The volume settings and how they combine: master, the music and effects
// buses, and the two mutes, turned into the mixer's 0 .. 128.
#include <algorithm>
#include <cmath>

#include "audio/audio.h"
#include "audio/internal.h"

namespace audio {
namespace {
float master = 1;
float musicBus = 1;
float effectsVolume = 1;
bool musicMuted = false;
bool soundMuted = false;
}  // namespace

float unitVolume(float volume) { return volume > 0 ? std::min(volume, 1.0f) : 0; }

int mixerVolume(float volume) {
  return static_cast<int>(std::lround(unitVolume(volume) * MIX_MAX_VOLUME));
}

float effectsBus() { return soundMuted ? 0 : master * effectsVolume; }

void applyVolumes() {
  Mix_VolumeMusic(musicMuted ? 0 : mixerVolume(master * musicBus));
  // The mixer has no channels while the device is closed (after `clear`);
  // opening it applies the settings.
  if (Mix_QuerySpec(nullptr, nullptr, nullptr) == 0) return;
  Mix_Volume(EFFECT_CHANNEL, mixerVolume(effectsBus()));
  applyVoiceVolumes();
}

void forgetMutes() { musicMuted = soundMuted = false; }

void muteMusic(bool mute) {
  musicMuted = mute;
  Mix_VolumeMusic(musicMuted ? 0 : mixerVolume(master * musicBus));
}

void muteSound(bool mute) {
  soundMuted = mute;
  applyVolumes();
}

void setMasterVolume(float volume) {
  master = unitVolume(volume);
  applyVolumes();
}

void setMusicVolume(float volume) {
  musicBus = unitVolume(volume);
  applyVolumes();
}

void setEffectsVolume(float volume) {
  effectsVolume = unitVolume(volume);
  applyVolumes();
}

float getMasterVolume() { return master; }
float getMusicVolume() { return musicBus; }
float getEffectsVolume() { return effectsVolume; }
}  // namespace audio
