// Music and sound effects through SDL2_mixer, from files under assets/audio/.
// One looping music track and one effect at a time (mixing channel 0); effects
// are loaded on first use and cached by path until `clear`. No operation reports
// a mixer error: a file that does not load simply stays silent. A name too long
// for the 128-character path "assets/audio/<name>" is logged and ignored.
#pragma once

#include <SDL_mixer.h>

#include <map>
#include <string>

namespace audio {
void init();                        // opens the device; does nothing if it is already open
void clear();                       // frees the track and every effect, closes the device
void playMusic(const char* name);   // replaces the track and loops it forever
void pauseMusic();
void resumeMusic();
void playEffect(const char* name);  // cuts the effect playing on channel 0
void muteMusic(bool mute);
void muteSound(bool mute);          // effects only; the music keeps its volume

// The state, outside the script's module: the current track (null for none)
// and the effect cache keyed by full path, where a failed load keeps a null
// entry so it is neither logged nor loaded again.
extern Mix_Music* music;
extern std::map<std::string, Mix_Chunk*> effects;
}  // namespace audio
