// The audio state and its operations. Names from the script are composed into a
// fixed-size path buffer; a name too long for it is refused with a log line
// rather than cut, so a shortened name can never load some other file. Files
// come through the file layer, from the game's folder or archive.
#include "audio/audio.h"

#include <cstdio>
#include <string>

#include "core/diagnostics.h"
#include "core/log.h"
#include "files/files.h"

namespace audio {
Mix_Music* music = nullptr;
std::map<std::string, Mix_Chunk*> effects;

namespace {
// The playing music's file: the mixer streams from it while it plays.
std::string musicBytes;

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

// The file as a stream over `bytes`, which must outlive it; null (with the
// mixer's error set) when it cannot be read.
SDL_RWops* openStream(const char* path, std::string& bytes) {
  std::string problem;
  if (!files::read(path, bytes, problem)) {
    SDL_SetError("%s: %s", path, problem.c_str());
    return nullptr;
  }
  return SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
}

void freeMusic() {
  if (music) Mix_FreeMusic(music);
  music = nullptr;
  musicBytes.clear();
}

// Decoded whole: the file's bytes are not needed afterwards.
Mix_Chunk* loadEffect(const char* path) {
  std::string bytes;
  SDL_RWops* stream = openStream(path, bytes);
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
  freeMusic();
  for (auto& entry : effects)
    if (entry.second) Mix_FreeChunk(entry.second);
  effects.clear();
  Mix_CloseAudio();
}

void playMusic(const char* name) {
  char path[PATH_SIZE];
  if (!composePath(name, path)) return;
  freeMusic();
  SDL_RWops* stream = openStream(path, musicBytes);
  music = stream ? Mix_LoadMUS_RW(stream, 1) : nullptr;
  if (!music) musicBytes.clear();
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
