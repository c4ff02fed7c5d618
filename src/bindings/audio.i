// The audio module: music, sound effects and the mixer for the script. What
// scripts get is listed here; the player's state in audio/audio.h stays the
// host's.
%module audio
%include "bindings/conventions.i"

%{
#include "audio/audio.h"
#include "bindings/audiooptions.h"
%}

// Option tables: a table, nil or nothing at all (the defaults). The records
// themselves are the C++ side's; scripts write tables.
%typemap(default) const audio::SoundOptions& (audio::SoundOptions options),
                  const audio::MusicOptions& (audio::MusicOptions options)
%{$1 = &options;%}
%typemap(in, checkfn="audiooptions::isTableOrNil") const audio::SoundOptions&
%{if (!audiooptions::readSound(L, $input, const_cast<audio::SoundOptions*>($1))) SWIG_fail;%}
%typemap(in, checkfn="audiooptions::isTableOrNil") const audio::MusicOptions&
%{if (!audiooptions::readMusic(L, $input, const_cast<audio::MusicOptions*>($1))) SWIG_fail;%}

namespace audio {
void init();
void clear();
void playMusic(const char* name);
void pauseMusic();
void resumeMusic();
void playEffect(const char* name);
void muteMusic(bool mute);
void muteSound(bool mute);

void startMusic(const char* name, const audio::MusicOptions& options);
void fadeOutMusic(float seconds);
void stopMusic();

int playSound(const char* name, const audio::SoundOptions& options);
void stopSound(int handle);
void setSoundVolume(int handle, float volume);
void setSoundPan(int handle, float pan);
bool isSoundPlaying(int handle);
void stopAllSounds();

void setMasterVolume(float volume);
void setMusicVolume(float volume);
void setEffectsVolume(float volume);
float getMasterVolume();
float getMusicVolume();
float getEffectsVolume();
}  // namespace audio
