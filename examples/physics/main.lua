-- Topple: knock the crates off the table. Up and down aim the cannon, space
-- fires a ball, drag any body with the mouse, R builds the tower again and
-- D shows the physics outlines (shapes, joints, contacts).
--
-- The world node `arena` has a `physics` table; every node under it with a
-- `body` table is simulated, and the framework writes each moving body's
-- place into its x, y and rotation. Shapes are drawn from inline `vertices`
-- lists in one colour each.

config = { width = 480, height = 360, title = "Topple" }
clearColor = { red = 0.1, green = 0.12, blue = 0.2 }

local CRATE = 20

local function rectangle(w, h)
  local x, y = w / 2, h / 2
  return { -x, -y, 0, x, -y, 0, x, y, 0, -x, -y, 0, x, y, 0, -x, y, 0 }
end

local function disc(r)
  local list = {}
  for k = 0, 15 do
    local a, b = k * math.pi / 8, (k + 1) * math.pi / 8
    for _, v in ipairs({ 0, 0, 0, r * math.cos(a), r * math.sin(a), 0,
                         r * math.cos(b), r * math.sin(b), 0 }) do
      list[#list + 1] = v
    end
  end
  return list
end

local function colour(r, g, b) return { color = { r, g, b, 1 } } end

local function block(x, y, w, h, kind, rgb)
  return { x = x, y = y, vertices = rectangle(w, h), uniforms = colour(rgb[1], rgb[2], rgb[3]),
           body = { type = kind, width = w, height = h, friction = 0.6 } }
end

arena = { physics = { gravity = { 0, -500 }, pixelsPerMeter = 40 } }
world = { camera = {}, arena }

local score, fallen = 0, {}
local scoreText = { text = "0", x = -220, y = 150, size = 24, align = "left" }
world[#world + 1] = scoreText

-- The ground, the table and a seesaw on its pin (a revolute joint, made
-- once both bodies exist).
local ground = block(0, -170, 480, 20, "static", { 0.3, 0.35, 0.3 })
ground.name = "ground"
local tableTop = block(130, -60, 140, 12, "static", { 0.55, 0.4, 0.25 })
local pin = { x = -20, y = -150, vertices = disc(4), uniforms = colour(0.8, 0.8, 0.8),
              body = { type = "static", shape = "circle", radius = 4 } }
local plank = block(-20, -150, 120, 6, "dynamic", { 0.7, 0.6, 0.4 })
local cannon = { x = -200, y = -140, vertices = rectangle(40, 10), rotation = 42,
                 uniforms = colour(0.2, 0.2, 0.25) }
for _, node in ipairs({ ground, tableTop, pin, plank, cannon }) do arena[#arena + 1] = node end

-- A crate that lands on the ground scores once.
local function onCrateHit(crate, other)
  if other == ground and not fallen[crate] then
    fallen[crate] = true
    score = score + 1
    scoreText.text = tostring(score)
  end
end

local tower = {}
arena[#arena + 1] = tower
local function buildTower()
  for k = #tower, 1, -1 do tower[k] = nil end
  for row = 0, 5 do
    for column = 0, 4 - row % 2 do
      local x = 95 + column * (CRATE + 1) + (row % 2) * CRATE / 2
      local crate = block(x, -54 + CRATE / 2 + row * CRATE, CRATE, CRATE, "dynamic",
                          { 0.85, 0.55 - row * 0.05, 0.2 })
      crate.onCollision = onCrateHit
      tower[#tower + 1] = crate
    end
  end
  fallen = {}
end
buildTower()

local balls, frame, seesaw = {}, 0, nil
arena[#arena + 1] = balls

local function fire()
  local a = math.rad(cannon.rotation)
  local ball = { x = cannon.x + 25 * math.cos(a), y = cannon.y + 25 * math.sin(a),
                 vertices = disc(7), uniforms = colour(0.9, 0.9, 0.95),
                 body = { shape = "circle", radius = 7, density = 4, restitution = 0.3,
                          bullet = true, vx = 520 * math.cos(a), vy = 520 * math.sin(a) } }
  balls[#balls + 1] = ball
  if #balls > 8 then table.remove(balls, 1) end
end

local drag
function onMouseButtonEvent(kind, button, x, y)
  local wx, wy = x - 240, 180 - y
  if kind == 1025 and not drag then
    local hit = bodies.queryPoint(arena, wx, wy)[1]
    if hit and bodies.hasBody(hit) then drag = bodies.mouseJoint(hit, wx, wy, 2e6) end
  elseif kind == 1026 and drag then
    bodies.destroyJoint(drag)
    drag = nil
  end
end

function onMouseMoveEvent(x, y)
  if drag then bodies.setJointTarget(drag, x - 240, 180 - y) end
end

function onKeyboardEvent(pressed, key)
  if not pressed then return end
  if key == keys.space then fire()
  elseif key == keys.d then arena.physics.debugDraw = not arena.physics.debugDraw
  elseif key == keys.r then buildTower(); score = 0; scoreText.text = "0"
  end
end

function update(dt)
  frame = frame + 1
  if not seesaw and bodies.hasBody(plank) then seesaw = bodies.revoluteJoint(pin, plank, -20, -150) end
  if app.isKeyDown(keys.up) then cannon.rotation = math.min(80, cannon.rotation + 60 * dt) end
  if app.isKeyDown(keys.down) then cannon.rotation = math.max(0, cannon.rotation - 60 * dt) end
end
