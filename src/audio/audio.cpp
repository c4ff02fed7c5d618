// Audio. Not built yet: every operation does nothing.
#include "audio/audio.h"

namespace audio {
void init() {}
void clear() {}
void playMusic(const char*) {}
void pauseMusic() {}
void resumeMusic() {}
void playEffect(const char*) {}
void muteMusic(bool) {}
void muteSound(bool) {}
}  // namespace audio
