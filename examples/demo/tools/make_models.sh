#!/usr/bin/env bash
# Makes the demo's animated gem, assets/models/gem.mod, from the octahedron
# gem.obj (written by make_images.py) and its key frames in gem_dance.lua.
# Usage: examples/demo/tools/make_models.sh [TARNWICK]
#   TARNWICK: the executable to convert with (default: build/release/tarnwick).
set -euo pipefail
tools="$(cd "$(dirname "$0")" && pwd)"
tarnwick="${1:-$tools/../../../build/release/tarnwick}"
"$tarnwick" --convert-model "$tools/gem.obj" "$tools/../assets/models/gem.mod" \
  --animation "$tools/gem_dance.lua"
