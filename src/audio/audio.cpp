// The device, the music track and channel 0's effects. Names from the script
// are composed into a fixed-size path buffer; a name too long for it is
// refused with a log line rather than cut, so a shortened name can never load
// some other file. Files come through the file layer, from the game's folder
// or archive.
#include "audio/audio.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "audio/internal.h"
#include "core/diagnostics.h"
#include "core/log.h"
#include "files/files.h"

namespace audio {
Mix_Music* music = nullptr;
std::map<std::string, Mix_Chunk*> effects;

namespace {
const int FREQUENCY = 44100;
const Uint16 FORMAT = AUDIO_S16LSB;
const int OUTPUT_CHANNELS = 2;
const int BUFFER_FRAMES = 4096;
const int DECODERS = MIX_INIT_OGG | MIX_INIT_MP3 | MIX_INIT_FLAC;
constexpr char FOLDER[] = "assets/audio/";

Mix_Chunk* loadEffect(const char* path) {
  SDL_RWops* stream = openFile(path);
  return stream ? Mix_LoadWAV_RW(stream, 1) : nullptr;
}

// The music type by the file's extension, as the mixer's loading by file name
// guesses it; MUS_NONE leaves it to the file's first bytes (tracker modules
// are found that way).
Mix_MusicType typeOf(const char* path) {
  const char* dot = strrchr(path, '.');
  if (!dot) return MUS_NONE;
  const struct {
    const char* extension;
    Mix_MusicType type;
  } known[] = {{".wav", MUS_WAV},  {".ogg", MUS_OGG},  {".opus", MUS_OPUS}, {".flac", MUS_FLAC},
               {".mp3", MUS_MP3},  {".mpg", MUS_MP3},  {".mpeg", MUS_MP3}, {".mad", MUS_MP3},
               {".mid", MUS_MID},  {".midi", MUS_MID}, {".kar", MUS_MID}};
  for (const auto& entry : known)
    if (strcasecmp(dot, entry.extension) == 0) return entry.type;
  return MUS_NONE;
}

Mix_Music* loadMusic(const char* path) {
  SDL_RWops* stream = openFile(path);
  if (!stream) {
    Mix_SetError("Couldn't open '%s'", path);
    return nullptr;
  }
  return Mix_LoadMUSType_RW(stream, typeOf(path), 1);
}

// A fade's length for the mixer, at most an hour (0 for none).
int milliseconds(float seconds) {
  return seconds > 0 ? static_cast<int>(std::min(seconds, 3600.0f) * 1000 + 0.5f) : 0;
}

// Frees the current track. A track fading out is halted first: freeing it
// would otherwise wait for the fade to end.
void freeMusic() {
  if (!music) return;
  if (Mix_FadingMusic() == MIX_FADING_OUT) Mix_HaltMusic();
  Mix_FreeMusic(music);
  music = nullptr;
}

// Replaces the track by the file at `path`: the new track, or null (with the
// warning) when it does not load.
Mix_Music* replaceMusic(const char* path) {
  freeMusic();
  music = loadMusic(path);
  if (!music)
    diagnostics::warnOnceUnderDebug(std::string("music ") + path, "Warning: music %s cannot be played: %s\n",
                          path, Mix_GetError());
  return music;
}
}  // namespace

bool composePath(const char* name, char (&path)[PATH_SIZE]) {
  int length = snprintf(path, PATH_SIZE, "%s%s", FOLDER, name);
  if (length < 0 || static_cast<size_t>(length) >= PATH_SIZE) {
    DLOG(LogLevel::Error, "Audio name too long (at most %zu characters): %s\n",
         PATH_SIZE - sizeof FOLDER, name);
    return false;
  }
  return true;
}

namespace {
// Closes a stream made by openFile, freeing the bytes it reads.
int closeOwnedBytes(SDL_RWops* stream) {
  SDL_free(stream->hidden.mem.base);
  SDL_FreeRW(stream);
  return 0;
}
}  // namespace

SDL_RWops* openFile(const char* path) {
  std::string bytes, problem;
  if (!files::read(path, bytes, problem)) {
    SDL_SetError("%s: %s", path, problem.c_str());
    return nullptr;
  }
  // The mixer streams music from its stream while it plays, so the stream
  // owns a copy of the bytes and frees it when the mixer closes it.
  void* owned = SDL_malloc(bytes.size() + 1);
  if (!owned) {
    SDL_OutOfMemory();
    return nullptr;
  }
  memcpy(owned, bytes.data(), bytes.size());
  SDL_RWops* stream = SDL_RWFromConstMem(owned, static_cast<int>(bytes.size()));
  if (!stream) {
    SDL_free(owned);
    return nullptr;
  }
  stream->close = closeOwnedBytes;
  return stream;
}

Mix_Chunk* findEffect(const char* path) {
  auto found = effects.find(path);
  if (found == effects.end()) {
    found = effects.emplace(path, loadEffect(path)).first;
    DLOG(LogLevel::Info, "Load sound %s\n", path);
    if (!found->second)
      diagnostics::warnOnceUnderDebug(std::string("sound ") + path,
                            "Warning: sound %s cannot be played: %s\n", path, Mix_GetError());
  }
  return found->second;
}

void init() {
  // A second open would only raise the mixer's open count, and `clear` would
  // then leave the device open.
  if (Mix_QuerySpec(nullptr, nullptr, nullptr) != 0) return;
  Mix_Init(DECODERS);
  if (Mix_OpenAudio(FREQUENCY, FORMAT, OUTPUT_CHANNELS, BUFFER_FRAMES) != 0) return;
  openVoices();
  applyVolumes();
}

void clear() {
  freeMusic();
  closeVoices();
  clearPitched();
  for (auto& entry : effects)
    if (entry.second) Mix_FreeChunk(entry.second);
  effects.clear();
  Mix_CloseAudio();
  Mix_Quit();
  forgetMutes();
}

void playMusic(const char* name) {
  char path[PATH_SIZE];
  if (!composePath(name, path)) return;
  if (replaceMusic(path)) Mix_PlayMusic(music, -1);
}

void startMusic(const char* name, const MusicOptions& options) {
  char path[PATH_SIZE];
  if (!composePath(name, path) || !replaceMusic(path)) return;
  int fadeMs = milliseconds(options.fadeIn);
  int loops = options.loops < 0 ? -1 : options.loops + 1;  // the mixer counts plays here
  double position = std::isfinite(options.position) && options.position > 0 ? options.position : 0;
  if (Mix_FadeInMusicPos(music, loops, fadeMs, position) == 0 || position == 0) return;
  diagnostics::warnOnceUnderDebug(std::string("music position ") + path,
                        "Warning: music %s cannot start at %g s: %s\n", path, position,
                        Mix_GetError());
  Mix_FadeInMusicPos(music, loops, fadeMs, 0);
}

void fadeOutMusic(float seconds) {
  if (!music) return;
  if (milliseconds(seconds) > 0)
    Mix_FadeOutMusic(milliseconds(seconds));
  else
    Mix_HaltMusic();
}

void stopMusic() { freeMusic(); }

void pauseMusic() {
  if (music) Mix_PauseMusic();
}

void resumeMusic() {
  if (music) Mix_ResumeMusic();
}

void playEffect(const char* name) {
  char path[PATH_SIZE];
  if (!composePath(name, path)) return;
  if (Mix_Chunk* chunk = findEffect(path)) Mix_PlayChannelTimed(EFFECT_CHANNEL, chunk, 0, -1);
}
}  // namespace audio
