-- A 96 × 48 PNG is kept on a 128 × 128 texture, its picture in the corner of
-- the first stored rows. Left: the node as it is, 128 × 128 with the padding
-- transparent (the grey frame shows its extent). Right: width = 96,
-- height = 48 and scaleY = -1 show exactly the picture, upright.
config = { width = 320, height = 160 }
clearColor = { red = 0.9, green = 0.9, blue = 0.9 }
world = {
  camera = {},
  { vertices = { -144, -64, 0, -16, -64, 0, -16, 64, 0, -144, -64, 0, -16, 64, 0, -144, 64, 0 },
    uniforms = { color = { 0.6, 0.6, 0.6, 1 } } },
  { texture = "strip", x = -80 },
  { texture = "strip", x = 80, width = 96, height = 48, scaleY = -1 },
}
function onKeyboardEvent() end
function onMouseButtonEvent() end
function onTouchEvent() end
