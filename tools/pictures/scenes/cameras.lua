-- Two cameras: the scene camera sees the big triangle through a view 2 × wider
-- (height = 320 in a 160-pixel window); the hud camera, in a later array entry,
-- draws only nodes of layer "hud", after the first camera's.
config = { width = 240, height = 160 }
clearColor = { red = 0.9, green = 0.9, blue = 0.9 }
world = {
  { camera = { height = 320 },
    { vertices = { -150, -120, 0, 150, -120, 0, 0, 120, 0 }, uniforms = { color = { 0.9, 0.3, 0.2, 1 } } } },
  { camera = { layer = "hud" },
    { texture = "badge", layer = "hud", x = 80, y = 40, scaleX = 0.5, scaleY = -0.5 } },
}
function onKeyboardEvent() end
function onMouseButtonEvent() end
function onTouchEvent() end
