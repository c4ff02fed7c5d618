-- Post-process: the scene is drawn into a render target, and one node the size
-- of the window shows that target through a custom fragment shader.
--
-- 1. `renderTextureTargets` describes the target; `graphics.createRenderTargets()`
--    in `init` creates it.
-- 2. The scene camera names it as its `target`: it draws there, not into the
--    window. Tarnwick clears the target to transparent black every frame.
-- 3. The screen camera (a later array entry, so it draws after the scene
--    camera) sees only layer "screen", where one node samples the target by
--    name with the shader pair "pt" (the framework's vertex shader) and "crt"
--    (this game's assets/shaders/gl210/crt.fs).

config = { width = 480, height = 360 }
clearColor = { red = 0, green = 0, blue = 0 }

renderTextureTargets = {
  scene = { width = 480, height = 360, depth = false },
}

local time = 0

-- Two counter-clockwise triangles per shape; z = 0 for all.
local function triangle(size)
  return { 0, size, 0, -0.87 * size, -0.5 * size, 0, 0.87 * size, -0.5 * size, 0 }
end

local shapes = {}
local colours = { { 1, 0.4, 0.2, 1 }, { 0.2, 0.7, 1, 1 }, { 1, 0.9, 0.2, 1 }, { 0.6, 1, 0.4, 1 } }
for i, colour in ipairs(colours) do
  local angle = i * math.pi / 2
  shapes[i] = {
    x = math.cos(angle) * 110, y = math.sin(angle) * 90,
    vertices = triangle(60),
    uniforms = { color = colour },
    onUpdate = function(node) node.rotation = time * (40 + 25 * i) end,
  }
end

local backdrop = {
  vertices = { -240, -180, 0, 240, -180, 0, 240, 180, 0, -240, -180, 0, 240, 180, 0, -240, 180, 0 },
  uniforms = { color = { 0.12, 0.1, 0.25, 1 } },
  z = -1,
}

local screen = {
  layer = "screen",
  texture = "scene",  -- a render target's name works wherever a texture name does
  vs = "pt",
  fs = "crt",
  uniforms = { time = function() return time end },
}

world = {
  { camera = { target = "scene" }, backdrop, shapes },
  { camera = { layer = "screen" }, screen },
}

function init()
  graphics.createRenderTargets()
end

function update(dt)
  time = time + dt
end

function onKeyboardEvent(pressed, key) end
function onMouseButtonEvent(type) end
function onTouchEvent(type, finger, x, y) end
