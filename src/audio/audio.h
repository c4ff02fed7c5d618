// Music and sound effects through SDL2_mixer, from files under assets/audio/.
#pragma once

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
