-- The demo gem's key frames, at 24 frames a second (the node's framesPerSecond):
-- three seconds of a full turn about the y axis while it hops twice and
-- squashes where it lands. Turned into assets/models/gem.mod by make_models.sh.
local up = {0, 1, 0}
local squashed = {1.2, 0.8, 1.2}
return {
  rotation = {
    [0] = {angle = 0, axis = up},
    [24] = {angle = 120, axis = up},
    [48] = {angle = 240, axis = up},
    [72] = {angle = 360, axis = up},
  },
  translation = {
    [0] = {0, 0, 0}, [18] = {0, 0.7, 0}, [36] = {0, 0, 0}, [54] = {0, 0.7, 0}, [72] = {0, 0, 0},
  },
  scale = {
    [0] = squashed, [8] = 1, [28] = 1, [36] = squashed, [44] = 1, [64] = 1, [72] = squashed,
  },
}
