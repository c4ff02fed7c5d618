-- width and height crop or repeat the texture; they do not scale it.
-- Left: the 128 × 128 badge as it is. Middle: width = 64, height = 64,
-- offsetX = 32 samples a 64 × 64 window of it. Right: width = 192 repeats it
-- across (drawn at scale 0.5 to fit).
config = { width = 480, height = 160 }
clearColor = { red = 0.9, green = 0.9, blue = 0.9 }
world = {
  camera = {},
  { texture = "badge", scaleY = -1, x = -160 },
  { texture = "badge", scaleY = -1, x = -20, width = 64, height = 64, offsetX = 32 },
  { texture = "badge", x = 150, width = 192, scaleX = 0.75, scaleY = -0.75 },
}
function onKeyboardEvent() end
function onMouseButtonEvent() end
function onTouchEvent() end
