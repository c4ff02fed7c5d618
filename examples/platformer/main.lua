-- Platformer: a level drawn in Tiled (assets/maps/level1.tmx). Left and right
-- arrows run, up or space jumps; touch a coin to collect it. The map node
-- draws the tiles; the coins and the player's start come from the map's
-- object layer, and the ground's collision boxes from its tiles' shapes.

config = { width = 480, height = 360 }
clearColor = { red = 0.45, green = 0.7, blue = 0.95 }

-- SDL key codes, as onKeyboardEvent receives them.
local KEY = { space = 32, right = 1073741903, left = 1073741904, up = 1073741906 }

local RUN_SPEED, JUMP_SPEED, GRAVITY = 140, 330, 900 -- pixels, seconds
local HALF_W, HALF_H = 6, 8                           -- the player's half size

local level = { tilemap = "level1" }
local coins = {} -- this node's children: one textured node per coin
local player = { texture = "player", vx = 0, vy = 0 }
world = { camera = {}, level, coins, player }

local solids = {} -- boxes: x, y (centre), width, height
local held = {}
local score = 0

function init()
  local map = tilemaps.getMap("level1")
  for _, object in ipairs(map.objects) do
    if object.type == "coin" then
      coins[#coins + 1] = { texture = "coin", x = object.centerX, y = object.centerY,
                            value = object.properties.value }
    elseif object.name == "start" then
      player.x, player.y = object.x, object.y + HALF_H
    end
  end
  for _, shape in ipairs(tilemaps.getTileShapes("level1", "ground")) do
    if shape.shape == "rectangle" then solids[#solids + 1] = shape end
  end
end

local function blocked(x, y)
  for _, box in ipairs(solids) do
    if math.abs(x - box.x) < HALF_W + box.width / 2 and math.abs(y - box.y) < HALF_H + box.height / 2 then
      return true
    end
  end
  return false
end

function update(dt)
  player.vx = ((held[KEY.right] and 1 or 0) - (held[KEY.left] and 1 or 0)) * RUN_SPEED
  player.vy = player.vy - GRAVITY * dt
  local x = player.x + player.vx * dt
  if not blocked(x, player.y) then player.x = x end
  local y = player.y + player.vy * dt
  if blocked(player.x, y) then
    if player.vy < 0 and (held[KEY.up] or held[KEY.space]) then
      player.vy = JUMP_SPEED
    else
      player.vy = 0
    end
  else
    player.y = y
  end
  for i = #coins, 1, -1 do
    local coin = coins[i]
    if math.abs(coin.x - player.x) < HALF_W + 5 and math.abs(coin.y - player.y) < HALF_H + 5 then
      score = score + coin.value
      table.remove(coins, i)
    end
  end
end

function onKeyboardEvent(pressed, key) held[key] = pressed end
function onMouseButtonEvent(type) end
function onTouchEvent(type, finger, x, y) end
