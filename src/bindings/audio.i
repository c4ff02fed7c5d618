// The audio module: music, sound effects and the mixer for the script.
%module audio
%include "bindings/conventions.i"

%{
#include "audio/audio.h"
#include "bindings/audiooptions.h"
%}

// Option tables: a table, nil or nothing at all (the defaults).
%typemap(default) const audio::SoundOptions& (audio::SoundOptions options),
                  const audio::MusicOptions& (audio::MusicOptions options)
%{$1 = &options;%}
%typemap(in, checkfn="audiooptions::isTableOrNil") const audio::SoundOptions&
%{if (!audiooptions::readSound(L, $input, const_cast<audio::SoundOptions*>($1))) SWIG_fail;%}
%typemap(in, checkfn="audiooptions::isTableOrNil") const audio::MusicOptions&
%{if (!audiooptions::readMusic(L, $input, const_cast<audio::MusicOptions*>($1))) SWIG_fail;%}
// The records themselves are the C++ side's; scripts write tables.
%ignore audio::SoundOptions;
%ignore audio::MusicOptions;

%include "audio/audio.h"
