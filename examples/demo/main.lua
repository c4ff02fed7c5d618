-- Tarnwick demo: a small orrery. A sun turns in the middle and throws sparks
-- (a particle emitter whose sparks cool from yellow to red), a planet circles
-- it carrying its moon (children inherit their parents' placement), the moon
-- leaves a trail (particles in world space), a lit gem spins and hops in a
-- corner (a .mod model playing its key frames, made by tools/make_models.sh),
-- the scene camera drifts, and a second camera draws the "hud" layer on top
-- without moving: a title and a live counter in the default font. Escape or
-- closing the window ends it.

config = { width = 960, height = 540 }

clearColor = { red = 0.05, green = 0.06, blue = 0.12 }

local time = 0
local frames = 0

local sceneCamera = {}

-- Trail particles start where the moon is and stay there as it moves on.
local moonTrail = {
  x = 34,
  particles = {
    frequency = 30,
    sprite = "spark",
    space = "world",
    emit = function()
      return {
        alpha = function(t) return 0.8 * (1 - t) end,
        scale = function(t) return 0.7 * (1 - t) end,
        red = 0.6, green = 0.8,
        lifeTime = 0.8,
      }
    end,
  },
}

local moonOrbit = {
  onUpdate = function(node) node.rotation = time * 150 end,
  moonTrail,
  { texture = "moon", x = 34 },
}

local planetOrbit = {
  onUpdate = function(node) node.rotation = time * 35 end,
  { texture = "planet", x = 170, moonOrbit },
}

local sun = {
  texture = "sun",
  scale = 1.6,
  onUpdate = function(node) node.rotation = -time * 10 end,
}

-- Each spark flies out in its own direction and fades; curves are functions of
-- the particle's life fraction t, from 0 to 1.
local sparks = {
  particles = {
    frequency = 40,
    sprite = "spark",
    emit = function()
      local angle = math.random() * 2 * math.pi
      local reach = 60 + math.random() * 80
      return {
        x = function(t) return math.cos(angle) * reach * t end,
        y = function(t) return math.sin(angle) * reach * t end,
        alpha = function(t) return 1 - t end,
        scale = function(t) return 1.5 - t end,
        green = function(t) return 1 - 0.7 * t end,
        blue = function(t) return 1 - t end,
        lifeTime = 1.2,
      }
    end,
  },
}

-- The gem's turn and hops are key frames in assets/models/gem.mod, played at
-- 24 frames a second; the node only tilts it towards the viewer.
local gem = {
  model = "gem",
  framesPerSecond = 24,
  x = -330, y = -170,
  scale = 45,
  rotationX = 20,
  uniforms = { color = { 0.45, 0.8, 1.0, 1.0 } },
}

local hud = {
  camera = { layer = "hud" },
  { texture = "banner", layer = "hud", x = -380, y = 220 },
  {
    texture = "sun", layer = "hud", x = 410, y = 210,
    -- A field may be a function of its node: the badge pulses.
    scale = function() return 0.5 + 0.1 * math.sin(time * 4) end,
  },
  { text = "Tarnwick orrery", layer = "hud", size = 28, align = "center", valign = "top", y = 262 },
  {
    -- Text may be a function of its node too: a counter that runs.
    text = function() return string.format("%.1f s, frame %d", time, frames) end,
    layer = "hud", size = 16, x = -470, y = -262, valign = "bottom",
    uniforms = { color = { 0.75, 0.8, 1.0, 1.0 } },
  },
}

world = {
  camera = sceneCamera,
  sun,
  sparks,
  planetOrbit,
  gem,
  hud,
}

function init()
  print(string.format("demo: %dx%d", screenWidth, screenHeight))
end

function update(dt)
  time = time + dt
  frames = frames + 1
  sceneCamera.x = 40 * math.sin(time * 0.5)
  sceneCamera.y = 20 * math.cos(time * 0.3)
end

function onKeyboardEvent(pressed, key) end
function onMouseButtonEvent(type) end
function onTouchEvent(type, finger, x, y) end
