// The audio state and its operations. Names from the script are composed into a
// fixed-size path buffer; a name too long for it is refused with a log line
// rather than cut, so a shortened name can never load some other file.
#include "audio/audio.h"

#include <cstdio>

#include "core/diagnostics.h"
#include "core/log.h"

namespace audio {
Mix_Music* music = nullptr;
std::map<std::string, Mix_Chunk*> effects;

namespace {
const int FREQUENCY = 44100;
const Uint16 FORMAT = AUDIO_S16LSB;
const int OUTPUT_CHANNELS = 2;
const int BUFFER_FRAMES = 4096;
const int EFFECT_CHANNEL = 0;
constexpr char FOLDER[] = "assets/audio/";
const size_t PATH_SIZE = 128;

// Writes "assets/audio/<name>" into `path`; false (and a log line) when the
// result would not fit.
bool composePath(const char* name, char (&path)[PATH_SIZE]) {
  int length = snprintf(path, PATH_SIZE, "%s%s", FOLDER, name);
  if (length < 0 || static_cast<size_t>(length) >= PATH_SIZE) {
    DLOG(LogLevel::Error, "Audio name too long (at most %zu characters): %s\n",
         PATH_SIZE - sizeof FOLDER, name);
    return false;
  }
  return true;
}

Mix_Chunk* loadEffect(const char* path) {
  SDL_RWops* stream = SDL_RWFromFile(path, "rb");
  return stream ? Mix_LoadWAV_RW(stream, 1) : nullptr;
}
}  // namespace

void init() {
  // A second open would only raise the mixer's open count, and `clear` would
  // then leave the device open.
  if (Mix_QuerySpec(nullptr, nullptr, nullptr) != 0) return;
  Mix_OpenAudio(FREQUENCY, FORMAT, OUTPUT_CHANNELS, BUFFER_FRAMES);
}

void clear() {
  if (music) Mix_FreeMusic(music);
  music = nullptr;
  for (auto& entry : effects)
    if (entry.second) Mix_FreeChunk(entry.second);
  effects.clear();
  Mix_CloseAudio();
}

void playMusic(const char* name) {
  char path[PATH_SIZE];
  if (!composePath(name, path)) return;
  if (music) Mix_FreeMusic(music);
  music = Mix_LoadMUS(path);
  if (music)
    Mix_PlayMusic(music, -1);
  else
    diagnostics::warnOnce(std::string("music ") + path, "Warning: music %s cannot be played: %s\n",
                          path, Mix_GetError());
}

void pauseMusic() {
  if (music) Mix_PauseMusic();
}

void resumeMusic() {
  if (music) Mix_ResumeMusic();
}

void playEffect(const char* name) {
  char path[PATH_SIZE];
  if (!composePath(name, path)) return;
  auto found = effects.find(path);
  if (found == effects.end()) {
    found = effects.emplace(path, loadEffect(path)).first;
    DLOG(LogLevel::Info, "Load sound %s\n", path);
    if (!found->second)
      diagnostics::warnOnce(std::string("sound ") + path, "Warning: sound %s cannot be played: %s\n",
                            path, Mix_GetError());
  }
  if (found->second) Mix_PlayChannelTimed(EFFECT_CHANNEL, found->second, 0, -1);
}

void muteMusic(bool mute) { Mix_VolumeMusic(mute ? 0 : MIX_MAX_VOLUME); }

void muteSound(bool mute) { Mix_Volume(EFFECT_CHANNEL, mute ? 0 : MIX_MAX_VOLUME); }
}  // namespace audio
