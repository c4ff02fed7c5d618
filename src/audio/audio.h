// Music and sound effects through SDL2_mixer, from files under assets/audio/.
// One music track at a time; effects are decoded on first use and cached by
// path until `clear`. No operation reports a mixer error: a file that does not
// load simply stays silent. A name too long for the 128-character path
// "assets/audio/<name>" is logged and ignored.
//
// Two ways to play an effect. `playEffect` uses mixing channel 0 alone, so a
// new effect cuts the last. `playSound` mixes: it takes one of VOICES further
// channels and returns a handle (channel and generation), so that a handle
// whose sound ended, or whose channel went to a later sound, does nothing.
// When every voice is busy, the oldest sound that does not loop gives way.
//
// Volumes multiply: music plays at master × music, channel 0 at master ×
// effects, a voice at master × effects × its own volume, each of 0 .. 1 and
// scaled to the mixer's 0 .. 128. muteMusic and muteSound switch a bus to 0
// (muteSound covers every effect, channel 0 and voices). All volumes start
// at 1, so a game that never sets one hears 0 or 128 as before.
#pragma once

#include <SDL_mixer.h>

#include <map>
#include <string>

namespace audio {
// How playSound plays an effect. Out-of-range values are clamped.
struct SoundOptions {
  float volume = 1;  // 0 .. 1
  float pan = 0;     // -1 (left only) .. 1 (right only)
  int loops = 0;     // repetitions after the first play; -1: until stopped
  float pitch = 1;   // playback-rate factor, 0.25 .. 4, taken to two decimals
};

// How startMusic plays a track.
struct MusicOptions {
  float fadeIn = 0;    // seconds from silence to full volume
  float position = 0;  // seconds into the track to start at, where the format allows
  int loops = -1;      // repetitions after the first play; -1: forever
};

void init();                        // opens the device; does nothing if it is already open
void clear();                       // frees the track and every effect, closes the device
void playMusic(const char* name);   // replaces the track and loops it forever
void pauseMusic();
void resumeMusic();
void playEffect(const char* name);  // cuts the effect playing on channel 0
void muteMusic(bool mute);
void muteSound(bool mute);          // effects only; the music keeps its volume

// Replaces the track like playMusic, with a fade-in, start position and loop
// count. A position the format cannot seek to starts the track at its
// beginning (logged once per file under --debug).
void startMusic(const char* name, const MusicOptions& options);
void fadeOutMusic(float seconds);   // then the track stops; nothing without one
void stopMusic();                   // stops and frees the track at once

// Plays the effect on a free voice; the handle, or 0 when nothing plays (a
// file that does not load, no device, every voice busy with a looping sound).
int playSound(const char* name, const SoundOptions& options);
void stopSound(int handle);
void setSoundVolume(int handle, float volume);
void setSoundPan(int handle, float pan);
bool isSoundPlaying(int handle);    // false for 0 and for a sound that ended
void stopAllSounds();               // every voice; channel 0 keeps playing

void setMasterVolume(float volume);
void setMusicVolume(float volume);
void setEffectsVolume(float volume);
float getMasterVolume();
float getMusicVolume();
float getEffectsVolume();

const int VOICES = 32;  // channels for playSound, after channel 0

// The state, outside the script's module: the current track (null for none)
// and the effect cache keyed by full path, where a failed load keeps a null
// entry so it is neither logged nor loaded again.
extern Mix_Music* music;
extern std::map<std::string, Mix_Chunk*> effects;
}  // namespace audio
