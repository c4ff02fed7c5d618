-- A parent at x = -90, turned 30 degrees and scaled 0.6, with one child at
-- x = 200, scale 0.5: the child's offset is turned and scaled with its parent,
-- so it lands 120 pixels away along the parent's turned x axis.
config = { width = 360, height = 200 }
clearColor = { red = 0.9, green = 0.9, blue = 0.9 }
world = {
  camera = {},
  {
    texture = "badge", scaleY = -1, x = -90, y = -30, rotation = 30, scale = 0.6,
    { texture = "badge", scaleY = -1, x = 200, scale = 0.5 },
  },
}
function onKeyboardEvent() end
function onMouseButtonEvent() end
function onTouchEvent() end
