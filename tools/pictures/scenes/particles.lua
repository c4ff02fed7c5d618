-- frames: 90
-- A fountain: 30 particles a second, each flying up and out along a curve of
-- its life fraction t, shrinking and fading. Sprites are drawn upright.
config = { width = 240, height = 180 }
clearColor = { red = 0.1, green = 0.12, blue = 0.18 }
local n = 0
world = {
  camera = {},
  {
    y = -70,
    particles = {
      frequency = 30,
      sprite = "badge",
      emit = function()
        n = n + 1
        local side = (n % 7 - 3) * 18
        return {
          x = function(t) return side * t end,
          y = function(t) return 160 * t - 80 * t * t end,
          scale = function(t) return 0.25 - 0.15 * t end,
          alpha = function(t) return 1 - t end,
          lifeTime = 1.5,
        }
      end,
    },
  },
}
function onKeyboardEvent() end
function onMouseButtonEvent() end
function onTouchEvent() end
