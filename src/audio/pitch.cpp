// Effects played at another rate: a copy of the decoded effect resampled by
// SDL's own audio stream, made once per effect and rate and kept until
// `clear`. Rates are taken to hundredths, so random pitch variation makes a
// bounded number of copies.
#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "audio/audio.h"
#include "audio/internal.h"

namespace audio {
namespace {
const long SLOWEST = 25;   // hundredths of the normal rate
const long FASTEST = 400;
const long NORMAL = 100;

struct Copy {
  std::vector<Uint8> samples;  // owned here: the chunk only points at them
  Mix_Chunk* chunk = nullptr;  // null when the copy could not be made
};

// Keyed by the effect's path and the rate in hundredths.
std::map<std::pair<std::string, long>, Copy> copies;

// Frames the resampler may hold back at the end, flushed out with silence.
const int TAIL_FRAMES = 4096;

// The chunk's samples as if played `hundredths` / 100 times as fast, in the
// device's format (signed: the mixer opens the device with 16-bit samples);
// false when SDL cannot convert them.
bool resample(const Mix_Chunk& chunk, long hundredths, std::vector<Uint8>& out) {
  int frequency = 0, channels = 0;
  Uint16 format = 0;
  if (!Mix_QuerySpec(&frequency, &format, &channels)) return false;
  const size_t frameBytes = SDL_AUDIO_BITSIZE(format) / 8 * static_cast<size_t>(channels);
  int from = static_cast<int>(frequency * hundredths / NORMAL);
  SDL_AudioStream* stream = SDL_NewAudioStream(format, static_cast<Uint8>(channels), from, format,
                                               static_cast<Uint8>(channels), frequency);
  if (!stream) return false;
  // The stream keeps the last few frames for its filter even when flushed:
  // silence after the sound brings them out, and the result is cut to the
  // length the rate gives.
  std::vector<Uint8> tail(TAIL_FRAMES * frameBytes, 0);
  bool ok = SDL_AudioStreamPut(stream, chunk.abuf, static_cast<int>(chunk.alen)) == 0 &&
            SDL_AudioStreamPut(stream, tail.data(), static_cast<int>(tail.size())) == 0 &&
            SDL_AudioStreamFlush(stream) == 0;
  if (ok) {
    out.resize(static_cast<size_t>(SDL_AudioStreamAvailable(stream)));
    int got = SDL_AudioStreamGet(stream, out.data(), static_cast<int>(out.size()));
    ok = got >= 0;
    size_t frames = static_cast<size_t>(
        std::lround(static_cast<double>(chunk.alen / frameBytes) * NORMAL / hundredths));
    out.resize(ok ? std::min(static_cast<size_t>(got), frames * frameBytes) : 0);
  }
  SDL_FreeAudioStream(stream);
  return ok && !out.empty();
}
}  // namespace

Mix_Chunk* pitched(const char* path, Mix_Chunk* chunk, float pitch) {
  // Clamped before rounding, so that no factor is too large to round.
  float factor = std::isnan(pitch) ? 1 : std::max(0.25f, std::min(pitch, 4.0f));
  long hundredths = std::max(SLOWEST, std::min(std::lround(factor * NORMAL), FASTEST));
  if (hundredths == NORMAL) return chunk;
  auto key = std::make_pair(std::string(path), hundredths);
  auto found = copies.find(key);
  if (found == copies.end()) {
    found = copies.emplace(key, Copy()).first;
    Copy& copy = found->second;
    if (resample(*chunk, hundredths, copy.samples)) {
      copy.chunk = Mix_QuickLoad_RAW(copy.samples.data(), static_cast<Uint32>(copy.samples.size()));
      if (copy.chunk) copy.chunk->volume = chunk->volume;
    }
  }
  return found->second.chunk;
}

void clearPitched() {
  for (auto& entry : copies)
    if (entry.second.chunk) Mix_FreeChunk(entry.second.chunk);
  copies.clear();
}
}  // namespace audio
