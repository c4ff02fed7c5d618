-- Lit 3D: OBJ models under a perspective camera. A camera with `fov` is a
-- perspective camera: it sits at its position and looks down its -z axis;
-- world units are whatever the models use (here, metres of a sort).
-- OBJ meshes are drawn with the framework's lit shader pair "pn": one fixed
-- directional light from (1, 2, 3) in world space plus some ambient light.
-- Their colour is white unless the node's `uniforms` give a `color`.

config = { width = 480, height = 360 }
clearColor = { red = 0.55, green = 0.7, blue = 0.85 }

local time = 0

-- Up 2, back 6, tilted 15 degrees down.
local camera = { y = 2, z = 6, rotationX = -15, fov = 50 }

local floor = {
  model = "crate",  -- assets/models/crate.obj, flattened into a slab
  y = -0.55, scaleX = 8, scaleY = 0.1, scaleZ = 8,
  uniforms = { color = { 0.45, 0.6, 0.35, 1 } },
}

local crate = {
  model = "crate",
  x = -1.2,
  uniforms = { color = { 0.85, 0.55, 0.3, 1 } },
  onUpdate = function(node) node.rotationY = 20 + time * 30 end,
}

local pyramid = {
  model = "pyramid",
  x = 1.3, y = -0.5, scale = 1.4,
  uniforms = { color = { 0.35, 0.55, 0.95, 1 } },
  onUpdate = function(node) node.rotationY = -time * 45 end,
}

world = { camera = camera, floor, crate, pyramid }

function update(dt)
  time = time + dt
end

function onKeyboardEvent(pressed, key) end
function onMouseButtonEvent(type) end
function onTouchEvent(type, finger, x, y) end
