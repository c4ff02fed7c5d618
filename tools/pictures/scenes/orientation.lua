-- The same PNG texture twice: as drawn (left) and flipped with scaleY = -1
-- (right). PNG files store their top row first; textures are drawn with the
-- first stored row at the rectangle's bottom edge.
config = { width = 320, height = 160 }
clearColor = { red = 0.9, green = 0.9, blue = 0.9 }
world = {
  camera = {},
  { texture = "badge", x = -80 },
  { texture = "badge", x = 80, scaleY = -1 },
}
function onKeyboardEvent() end
function onMouseButtonEvent() end
function onTouchEvent() end
