-- A perspective camera 3 units in front of the origin (fov makes it
-- perspective), looking down -z at a unit cube turned 30 degrees about x and
-- 40 about y. OBJ models take the lit shader pair "pn"; the light comes from
-- (1, 2, 3), in world space.
config = { width = 240, height = 180 }
clearColor = { red = 0.9, green = 0.9, blue = 0.9 }
world = {
  camera = { z = 3, fov = 45 },
  { model = "cube", rotationX = 30, rotationY = 40, uniforms = { color = { 0.3, 0.6, 1.0, 1.0 } } },
}
function onKeyboardEvent() end
function onMouseButtonEvent() end
function onTouchEvent() end
