// The mixing voices behind playSound: channels 1 .. VOICES, each with the
// generation its handles carry, when its sound started, whether it loops, and
// its own volume and pan. Nothing here runs on the audio thread: a voice is
// free when the mixer says its channel is not playing, so no callback from
// the mixer is needed.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "audio/audio.h"
#include "audio/internal.h"

namespace audio {
namespace {
const int FIRST_VOICE = EFFECT_CHANNEL + 1;
const int CHANNELS = FIRST_VOICE + VOICES;
// A handle is generation × HANDLE_SPAN + channel; generations wrap below
// MAX_GENERATION, so handles stay positive ints.
const int HANDLE_SPAN = 64;
const int MAX_GENERATION = INT32_MAX / HANDLE_SPAN;
static_assert(CHANNELS <= HANDLE_SPAN, "a channel must fit below the span");

struct Voice {
  int generation = 0;    // 0: never played
  uint64_t started = 0;  // order of starting, to find the oldest
  bool looping = false;
  float volume = 1;
};

Voice voices[CHANNELS];
uint64_t starts = 0;
bool opened = false;

// The channel a handle names while its sound is the one on it; -1 otherwise.
int channelOf(int handle) {
  if (!opened || handle <= 0) return -1;
  int channel = handle % HANDLE_SPAN;
  if (channel < FIRST_VOICE || channel >= CHANNELS) return -1;
  if (voices[channel].generation != handle / HANDLE_SPAN) return -1;
  return Mix_Playing(channel) ? channel : -1;
}

// A free voice's channel; else the oldest one that does not loop, stopped;
// -1 when every voice loops.
int takeChannel() {
  int oldest = -1;
  for (int channel = FIRST_VOICE; channel < CHANNELS; ++channel) {
    if (!Mix_Playing(channel)) return channel;
    const Voice& voice = voices[channel];
    if (!voice.looping && (oldest < 0 || voice.started < voices[oldest].started)) oldest = channel;
  }
  if (oldest >= 0) Mix_HaltChannel(oldest);
  return oldest;
}

float clampPan(float pan) { return pan > -1 ? std::min(pan, 1.0f) : (pan == pan ? -1 : 0); }

// Full in the middle; towards one side the other side fades out.
void applyPan(int channel, float pan) {
  pan = clampPan(pan);
  Uint8 left = static_cast<Uint8>(std::lround(255 * std::min(1.0f, 1 - pan)));
  Uint8 right = static_cast<Uint8>(std::lround(255 * std::min(1.0f, 1 + pan)));
  // Both at full unregisters the panning effect: a centred voice costs nothing.
  Mix_SetPanning(channel, left, right);
}

void applyVolume(int channel) {
  Mix_Volume(channel, mixerVolume(effectsBus() * voices[channel].volume));
}
}  // namespace

void openVoices() {
  Mix_AllocateChannels(CHANNELS);
  opened = true;
}

void closeVoices() {
  if (!opened) return;
  Mix_HaltChannel(-1);
  for (int channel = FIRST_VOICE; channel < CHANNELS; ++channel) Mix_SetPanning(channel, 255, 255);
  opened = false;
}

void applyVoiceVolumes() {
  if (!opened) return;
  for (int channel = FIRST_VOICE; channel < CHANNELS; ++channel) applyVolume(channel);
}

int playSound(const char* name, const SoundOptions& options) {
  char path[PATH_SIZE];
  if (!opened || !composePath(name, path)) return 0;
  Mix_Chunk* chunk = findEffect(path);
  if (chunk) chunk = pitched(path, chunk, options.pitch);
  if (!chunk) return 0;
  int channel = takeChannel();
  if (channel < 0) return 0;
  Voice& voice = voices[channel];
  voice.generation = voice.generation % MAX_GENERATION + 1;
  voice.started = ++starts;
  voice.looping = options.loops < 0;
  voice.volume = unitVolume(options.volume);
  applyVolume(channel);
  applyPan(channel, options.pan);
  if (Mix_PlayChannel(channel, chunk, options.loops < 0 ? -1 : options.loops) < 0) return 0;
  return voice.generation * HANDLE_SPAN + channel;
}

void stopSound(int handle) {
  int channel = channelOf(handle);
  if (channel >= 0) Mix_HaltChannel(channel);
}

void setSoundVolume(int handle, float volume) {
  int channel = channelOf(handle);
  if (channel < 0) return;
  voices[channel].volume = unitVolume(volume);
  applyVolume(channel);
}

void setSoundPan(int handle, float pan) {
  int channel = channelOf(handle);
  if (channel >= 0) applyPan(channel, pan);
}

bool isSoundPlaying(int handle) { return channelOf(handle) >= 0; }

void stopAllSounds() {
  if (!opened) return;
  for (int channel = FIRST_VOICE; channel < CHANNELS; ++channel) Mix_HaltChannel(channel);
}
}  // namespace audio
