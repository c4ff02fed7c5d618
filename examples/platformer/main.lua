-- Platformer: a level drawn in Tiled (assets/maps/level1.tmx). Left and right
-- arrows run, up or space jumps; touch a coin to collect it. The map node
-- draws the tiles; the coins and the player's start come from the map's
-- object layer. The world node is a physics world: the map node's
-- `mapBodies` gives the ground a static body from its tiles' collision shapes,
-- their outlines merged so the player runs across tile seams without catching.

config = { width = 480, height = 360 }
clearColor = { red = 0.45, green = 0.7, blue = 0.95 }

-- SDL key codes, as onKeyboardEvent receives them.
local KEY = { space = 32, right = 1073741903, left = 1073741904, up = 1073741906 }

local RUN_SPEED, JUMP_SPEED, GRAVITY = 140, 330, 900 -- pixels, seconds
local HALF_W, HALF_H = 6, 8                           -- the player's half size

local level = { tilemap = "level1", mapBodies = { tiles = "ground", friction = 0 } }
local coins = {} -- this node's children: one textured node per coin
local player = { texture = "player",
                 body = { width = 2 * HALF_W, height = 2 * HALF_H, fixedRotation = true, friction = 0 } }
world = { camera = {}, physics = { gravity = { 0, -GRAVITY } }, level, coins, player }

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
end

-- Ground just below the player's feet (Box2D keeps bodies a pixel apart).
local function onGround()
  return bodies.rayCast(world, player.x, player.y - HALF_H + 1, player.x, player.y - HALF_H - 3) ~= nil
end

function update(dt)
  if not bodies.hasBody(player) then return end -- made at the first step
  local _, vy = bodies.getVelocity(player)
  if (held[KEY.up] or held[KEY.space]) and vy <= 0 and onGround() then vy = JUMP_SPEED end
  bodies.setVelocity(player, ((held[KEY.right] and 1 or 0) - (held[KEY.left] and 1 or 0)) * RUN_SPEED, vy)
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
