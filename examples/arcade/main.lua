-- Catch: move the paddle with the left and right arrows and catch the falling
-- stars. Each catch scores a point, three misses end the round, space starts
-- a new one; minus and equals turn the sound down and up. Shapes are inline
-- vertex lists (x, y, z per corner, triangles counter-clockwise), drawn in one
-- colour each through the `color` uniform. Sounds (assets/audio, made by
-- tools/make_sounds.sh) play through the mixer, so they overlap.

config = { width = 480, height = 360 }

local PLAYING = { red = 0.08, green = 0.09, blue = 0.16 }
local OVER = { red = 0.35, green = 0.06, blue = 0.08 }
clearColor = PLAYING

local HALF_WIDTH, HALF_HEIGHT = 240, 180
local PADDLE_SPEED = 360 -- pixels per second
local SPAWN_EVERY = 0.7  -- seconds
local MISSES_ALLOWED = 3

-- Two counter-clockwise triangles covering the rectangle (x0, y0)-(x1, y1),
-- appended to `list`.
local function rectangle(list, x0, y0, x1, y1)
  for _, v in ipairs({ x0, y0, 0, x1, y0, 0, x1, y1, 0, x0, y0, 0, x1, y1, 0, x0, y1, 0 }) do
    list[#list + 1] = v
  end
  return list
end

-- Seven-segment digits, 12 × 20 units each: which segments each digit lights.
local SEGMENTS = {
  a = { 0, 17, 12, 20 }, b = { 9, 10, 12, 20 }, c = { 9, 0, 12, 10 }, d = { 0, 0, 12, 3 },
  e = { 0, 0, 3, 10 }, f = { 0, 10, 3, 20 }, g = { 0, 8.5, 12, 11.5 },
}
local LIT = { ["0"] = "abcdef", ["1"] = "bc", ["2"] = "abged", ["3"] = "abgcd", ["4"] = "fgbc",
  ["5"] = "afgcd", ["6"] = "afgedc", ["7"] = "abc", ["8"] = "abcdefg", ["9"] = "abcdfg" }

local function digits(number)
  local list = {}
  local text = tostring(number)
  for i = 1, #text do
    local left = (i - 1) * 16
    for segment in LIT[text:sub(i, i)]:gmatch(".") do
      local s = SEGMENTS[segment]
      rectangle(list, left + s[1], s[2], left + s[3], s[4])
    end
  end
  return list
end

local paddle = {
  y = -150,
  vertices = rectangle({}, -40, -6, 40, 6),
  uniforms = { color = { 0.95, 0.85, 0.3, 1 } },
}
local score = {
  x = -220, y = 140,
  vertices = digits(0),
  uniforms = { color = { 1, 1, 1, 1 } },
}
local misses = {
  x = 200, y = 150,
  uniforms = { color = { 0.9, 0.3, 0.3, 1 } },
}
local volume = {
  x = 150, y = -172,
  uniforms = { color = { 0.4, 0.8, 0.5, 1 } },
}
local stars = {} -- the falling stars are this node's children

local STAR = { 0, 10, 0, -8, -6, 0, 8, -6, 0, 0, -10, 0, 8, 6, 0, -8, 6, 0 }

world = { camera = {}, stars, paddle, score, misses, volume }

-- The sound volume, 0 to 1 in tenths, shown as a bar in the bottom right.
local function setVolume(level)
  level = math.max(0, math.min(10, level))
  audio.setEffectsVolume(level / 10)
  volume.level = level
  volume.vertices = level > 0 and rectangle({}, 0, 0, level * 8, 4) or {}
end

-- A sound from the right side of the field pans right; the pitch varies a
-- little so repeated sounds do not drone.
local function sound(name, x, pitch)
  audio.playSound(name, { pan = (x or 0) / HALF_WIDTH * 0.8, pitch = pitch or 1 })
end

local state = {}

local function newRound()
  state.points, state.missed, state.spawn, state.over = 0, 0, 0, false
  for i = #stars, 1, -1 do stars[i] = nil end
  score.vertices = digits(0)
  misses.vertices = {}
  paddle.x = 0
  clearColor = PLAYING
  sound("start.wav")
end

local held = {}

function init()
  math.randomseed(7)
  setVolume(8)
  newRound()
end

function update(dt)
  if state.over then return end
  local direction = (held[keys.right] and 1 or 0) - (held[keys.left] and 1 or 0)
  paddle.x = math.max(-HALF_WIDTH + 40, math.min(HALF_WIDTH - 40, paddle.x + direction * PADDLE_SPEED * dt))

  state.spawn = state.spawn - dt
  if state.spawn <= 0 then
    state.spawn = SPAWN_EVERY
    stars[#stars + 1] = {
      x = math.random(-HALF_WIDTH + 20, HALF_WIDTH - 20), y = HALF_HEIGHT + 10,
      speed = math.random(110, 200),
      vertices = STAR,
      uniforms = { color = { 0.5, 0.9, 1, 1 } },
      -- a field may be a function of its node: the star spins as it falls
      rotation = function(star) return star.y * 2 end,
    }
  end

  for i = #stars, 1, -1 do
    local star = stars[i]
    star.y = star.y - star.speed * dt
    local caught = math.abs(star.y - paddle.y) < 14 and math.abs(star.x - paddle.x) < 48
    if caught or star.y < -HALF_HEIGHT - 10 then
      table.remove(stars, i)
      if caught then
        state.points = state.points + 1
        score.vertices = digits(state.points)
        sound("catch.wav", star.x, 1 + (state.points % 5) * 0.06)
      else
        sound("miss.wav", star.x)
        state.missed = state.missed + 1
        misses.vertices = rectangle(misses.vertices, -state.missed * 14, 0, -state.missed * 14 + 10, 10)
        if state.missed >= MISSES_ALLOWED then
          state.over = true
          clearColor = OVER
          sound("over.wav")
          log.DLOG(string.format("Round over: %d points\n", state.points))
        end
      end
    end
  end
end

-- `again` is true for the repeats of a held key: holding minus or equals
-- keeps changing the volume, holding space does not restart twice.
function onKeyboardEvent(pressed, key, again)
  held[key] = pressed or nil
  if pressed and key == keys.space and state.over and not again then newRound() end
  if pressed and (key == keys.minus or key == keys.equals) then
    setVolume(volume.level + (key == keys.minus and -1 or 1))
    sound("click.wav")
  end
end

function onMouseButtonEvent(type) end
function onTouchEvent(type, finger, x, y) end
