#!/usr/bin/env bash
# Makes the arcade game's sounds, assets/audio/*.wav, with sox: short
# synthesised tones, 22050 Hz mono 16-bit, a few kilobytes each.
# Usage: examples/arcade/tools/make_sounds.sh
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/assets/audio"
mkdir -p "$out"
tone() { sox -n -r 22050 -b 16 -c 1 "$out/$1" synth "${@:2}"; }
# A rising chirp for a catch.
tone catch.wav 0.12 sine 660-1320 fade 0 0.12 0.05 vol 0.5
# A low buzz for a miss.
tone miss.wav 0.25 square 110-80 fade 0 0.25 0.1 vol 0.3
# A falling note for the end of a round.
tone over.wav 0.6 sine 523-262 fade 0 0.6 0.2 vol 0.5
# A rising sweep when a round starts.
tone start.wav 0.2 sine 392-784 fade 0.01 0.2 0.05 vol 0.4
# A click for the volume keys.
tone click.wav 0.03 sine 1000 fade 0 0.03 0.02 vol 0.4
