// The option tables of the audio module's playSound and startMusic, read into
// the audio layer's records. The generated wrappers call these through
// audio.i; they push an error message instead of raising it, so the wrapper
// raises it after its own clean-up.
#pragma once

#include <lua.hpp>

#include "audio/audio.h"

namespace audiooptions {
// True for a table or nil (or nothing): what an options parameter accepts.
bool isTableOrNil(lua_State* L, int index);
// Fills `options` from the table at `index`; nil leaves the defaults. False,
// with the message on the stack, when a field has the wrong type.
bool readSound(lua_State* L, int index, audio::SoundOptions* options);
bool readMusic(lua_State* L, int index, audio::MusicOptions* options);
}  // namespace audiooptions
