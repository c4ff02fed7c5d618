// What the audio files share inside the layer: paths, the one place audio
// files are opened, the effect cache, the volume arithmetic, the voices and
// the resampled copies of effects. Not seen by scripts.
#pragma once

#include <SDL_mixer.h>

#include <cstddef>

namespace audio {
const size_t PATH_SIZE = 128;
const int EFFECT_CHANNEL = 0;

// Writes "assets/audio/<name>" into `path`; false (and a log line) when the
// result would not fit.
bool composePath(const char* name, char (&path)[PATH_SIZE]);
// The stream of an audio file, or null (SDL's error set). Every load goes
// through here, so where the bytes come from is decided in one place.
SDL_RWops* openFile(const char* path);
// The cached effect at `path`, decoded on first use ("Load sound PATH"); null
// for a file that does not load.
Mix_Chunk* findEffect(const char* path);

// A volume clamped to 0 .. 1; NaN counts as 0, so a volume never makes the
// mixer louder than asked.
float unitVolume(float volume);
// The mixer's 0 .. 128 for a product of 0 .. 1 volumes, rounded.
int mixerVolume(float volume);
// The volume channel 0 and the voices are scaled by: master × effects, or 0
// while effects are muted.
float effectsBus();
// Sets the music's and every channel's mixer volume from the current settings.
void applyVolumes();
// Unmutes both buses without touching the mixer. Closing the device has always
// ended the mutes (a new device starts at full volume); the volumes stay.
void forgetMutes();

// Allocates the channels the voices need (after the device opened).
void openVoices();
// Sets each voice's mixer volume from its own and the bus's.
void applyVoiceVolumes();
// Forgets every voice (before the device closes); handles given out stay harmless.
void closeVoices();

// `chunk` (the effect at `path`) played `pitch` times as fast, made once per
// effect and rate with SDL's resampler; `chunk` itself for a pitch of 1, null
// when it cannot be made.
Mix_Chunk* pitched(const char* path, Mix_Chunk* chunk, float pitch);
// Frees every resampled copy.
void clearPitched();
}  // namespace audio
