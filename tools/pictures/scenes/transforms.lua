-- A parent at (-90, -30), turned 30 degrees and scaled 0.6, and its child at
-- x = 200 with scale 0.5. The child's offset is turned and scaled with its
-- parent: it lands 120 pixels away along the parent's turned x axis, drawn at
-- 0.6 × 0.5 = 0.3 of the texture's size. Each picture is a leaf node of its
-- own that only flips the texture upright (scaleY = -1), so the flip is not
-- inherited.
config = { width = 360, height = 200 }
clearColor = { red = 0.9, green = 0.9, blue = 0.9 }
world = {
  camera = {},
  {
    x = -90, y = -30, rotation = 30, scale = 0.6,
    { texture = "badge", scaleY = -1 },
    {
      x = 200, scale = 0.5,
      { texture = "badge", scaleY = -1 },
    },
  },
}
function onKeyboardEvent() end
function onMouseButtonEvent() end
function onTouchEvent() end
