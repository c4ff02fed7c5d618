-- Tarnwick demo: the smallest complete game. The background breathes between
-- two colours; Escape or closing the window ends it.

config = { width = 960, height = 540 }

clearColor = { red = 0.1, green = 0.12, blue = 0.2 }

local time = 0

function init()
  print(string.format("demo: %dx%d", screenWidth, screenHeight))
end

function update(dt)
  time = time + dt
  local pulse = 0.5 + 0.5 * math.sin(time * 2)
  clearColor.red = 0.1 + 0.2 * pulse
  clearColor.blue = 0.2 + 0.3 * (1 - pulse)
end

function onKeyboardEvent(pressed, key) end
function onMouseButtonEvent(type) end
function onTouchEvent(type, finger, x, y) end

world = {
  camera = {},
}
