// The audio module: music and sound effects for the script. What scripts get
// is listed here; the player's state in audio/audio.h stays the host's.
%module audio
%include "bindings/conventions.i"

%{
#include "audio/audio.h"
%}

namespace audio {
void init();
void clear();
void playMusic(const char* name);
void pauseMusic();
void resumeMusic();
void playEffect(const char* name);
void muteMusic(bool mute);
void muteSound(bool mute);
}  // namespace audio
