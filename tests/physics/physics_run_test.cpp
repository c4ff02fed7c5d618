// Physics worlds in real runs: bodies land, bounce, swing and report contacts
// as the simulation says; bad input is refused with one line and no abort;
// runs repeat exactly; replaced worlds leave nothing behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "support/game_run.h"
#include "support/picture.h"

using namespace testsupport;

namespace {
const char* const HEADER =
    "config = {width = 320, height = 240}\n"
    "frame = 0\n";

// The numbers that follow `prefix` on the last line that starts with it.
std::vector<double> numbersAfter(const std::string& log, const std::string& prefix) {
  std::vector<double> numbers;
  std::istringstream lines(log);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind(prefix, 0) == 0) {
      numbers.clear();
      std::istringstream rest(line.substr(prefix.size()));
      double number;
      while (rest >> number) numbers.push_back(number);
    }
  return numbers;
}

GameRun run(const std::string& script, int frames) {
  GameFolder game;
  game.writeMain(HEADER + script);
  return runFrames(game, frames);
}
}  // namespace

TEST(PhysicsRun, ABoxDroppedOnAFloorRestsOnItAtTheHeightItsSizeSays) {
  GameRun result = run(
      "crate = {body = {width = 40, height = 30}, y = 150, rotation = 0}\n"
      "world = {camera = {}, physics = {pixelsPerMeter = 50},\n"
      "  {body = {type = 'static', width = 300, height = 20}, y = -100},\n"
      "  crate}\n"
      "function update() frame = frame + 1\n"
      "  if frame % 60 == 0 then print('crate', crate.x, crate.y, crate.rotation) end end\n",
      240);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> crate = numbersAfter(result.out, "crate");
  ASSERT_EQ(crate.size(), 3u) << result.out;
  // Floor top at -90, the crate's half height 15 above it (Box2D keeps a skin
  // of a hundredth of a metre, half a unit here).
  EXPECT_NEAR(crate[1], -75, 1.0);
  EXPECT_NEAR(crate[0], 0, 0.01);
  EXPECT_NEAR(crate[2], 0, 0.01);
}

TEST(PhysicsRun, ARestitutionOneCircleBouncesBackToItsHeight) {
  GameRun result = run(
      "ball = {body = {shape = 'circle', radius = 10, restitution = 1, friction = 0}, y = 100}\n"
      "world = {camera = {}, physics = {},\n"
      "  {body = {type = 'static', width = 300, height = 20}, y = -110}, ball}\n"
      "low, high, bounced = 1000, -1000, false\n"
      "function update() frame = frame + 1\n"
      "  if ball.y < low then low = ball.y end\n"
      "  if low < -80 and ball.y > low + 1 then bounced = true end\n"
      "  if bounced and ball.y > high then high = ball.y end\n"
      "  if frame == 150 then print('bounce', low, high) end end\n",
      151);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> bounce = numbersAfter(result.out, "bounce");
  ASSERT_EQ(bounce.size(), 2u) << result.out;
  EXPECT_NEAR(bounce[0], -90, 2.0);       // it touched the floor (top at -100)
  EXPECT_NEAR(bounce[1], 100, 100 * 0.05);  // and came back up
}

TEST(PhysicsRun, ASensorFiresBeginAndEndAndContactsCarryTheirFields) {
  GameRun result = run(
      "gate = {name = 'gate', body = {type = 'static', width = 100, height = 10, sensor = true},\n"
      "  onCollision = function(self, other, c)\n"
      "    print('gate begin', other.name, tostring(c.sensor), tostring(c.x)) end,\n"
      "  onCollisionEnd = function(self, other) print('gate end', other.name) end}\n"
      "ball = {name = 'ball', body = {shape = 'circle', radius = 5}, y = 60,\n"
      "  onCollision = function(self, other, c)\n"
      "    if not c.sensor then print(string.format('ball hit %s %.2f %.2f %s', other.name,\n"
      "      math.floor(c.normalX * 100 + 0.5) / 100, c.normalY, tostring(c.impulse > 0))) end end}\n"
      "world = {camera = {}, physics = {}, gate, ball,\n"
      "  {name = 'floor', body = {type = 'static', width = 200, height = 10}, y = -100}}\n",
      120);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_TRUE(linesInOrder(result.out, {"gate begin\tball\ttrue\tnil", "gate end\tball"}))
      << result.out;
  EXPECT_EQ(countLines(result.out, "gate begin\tball\ttrue\tnil"), 1);
  // The ball sees the floor below it: the normal points from the ball to it.
  EXPECT_EQ(countLinesStartingWith(result.out, "ball hit floor 0.00 -1.00 true"), 1) << result.out;
}

TEST(PhysicsRun, AHandlerRemovingItsOwnNodeMidContactIsSafe) {
  GameRun result = run(
      "level = {physics = {}}\n"
      "for k = 1, 20 do level[k] = {body = {shape = 'circle', radius = 4}, x = k * 10 - 100,\n"
      "  y = 20 + k, onCollision = function(self, other)\n"
      "    for i, n in ipairs(level) do if n == self then table.remove(level, i) break end end\n"
      "    self.body = nil; other.gone = true end} end\n"
      "table.insert(level, {body = {type = 'static', width = 300, height = 10}, y = -50,\n"
      "  onCollision = function(self, other) self.hits = (self.hits or 0) + 1 end})\n"
      "world = {camera = {}, level}\n"
      "function update() frame = frame + 1\n"
      "  if frame == 100 then print('left', #level) end end\n",
      101);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_EQ(countLines(result.out, "left\t1"), 1) << result.out;
}

TEST(PhysicsRun, ARevoluteJointKeepsItsAnchor) {
  GameRun result = run(
      "pin = {body = {type = 'static', shape = 'circle', radius = 2}, x = 0, y = 50}\n"
      "bar = {body = {width = 100, height = 10}, x = 50, y = 50}\n"
      "world = {camera = {}, physics = {}, pin, bar}\n"
      "function update() frame = frame + 1\n"
      "  if frame == 3 then joint = bodies.revoluteJoint(pin, bar, 0, 50) end\n"
      "  if frame == 120 then\n"
      "    local a = math.rad(bar.rotation)\n"
      "    print('anchor', bar.x - 50 * math.cos(a), bar.y - 50 * math.sin(a), bar.rotation,\n"
      "          tostring(bodies.jointExists(joint))) end end\n",
      121);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> anchor = numbersAfter(result.out, "anchor");
  ASSERT_EQ(anchor.size(), 3u) << result.out;
  EXPECT_NEAR(anchor[0], 0, 1.0);
  EXPECT_NEAR(anchor[1], 50, 1.0);
  EXPECT_LT(anchor[2], -20);  // it swung down
  EXPECT_NE(result.out.find("\ttrue\n"), std::string::npos);
}

TEST(PhysicsRun, RayCastsHitTheNearestAndQueriesTestRealOverlap) {
  GameRun result = run(
      "function box(name, x) return {name = name, body = {type = 'static', width = 20,\n"
      "  height = 20}, x = x} end\n"
      "ball = {name = 'ball', body = {type = 'static', shape = 'circle', radius = 20}, x = 0, y = 100}\n"
      "world = {camera = {}, physics = {}, box('far', 100), box('near', -50), box('mid', 30), ball}\n"
      "function update() frame = frame + 1\n"
      "  if frame ~= 3 then return end\n"
      "  local hit = bodies.rayCast(world, -150, 0, 150, 0)\n"
      "  print('first', hit.node.name, hit.x, hit.y, hit.normalX, hit.normalY)\n"
      "  local names = {}\n"
      "  for _, h in ipairs(bodies.rayCastAll(world, 150, 0, -150, 0)) do\n"
      "    names[#names + 1] = h.node.name end\n"
      "  print('all', table.concat(names, ' '))\n"
      "  -- The box's corner lies in the circle's bounding box but not in the circle.\n"
      "  print('corner', #bodies.queryBox(world, 16, 116, 19, 119))\n"
      "  print('inside', bodies.queryBox(world, -5, 95, 5, 105)[1].name)\n"
      "  print('point', #bodies.queryPoint(world, 17, 117), bodies.queryPoint(world, 100, 5)[1].name)\n"
      "  print('none', tostring(bodies.rayCast(world, 5, 5, 5, 5)))\n"
      "end\n",
      4);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> first = numbersAfter(result.out, "first\tnear");
  ASSERT_EQ(first.size(), 4u) << result.out;
  EXPECT_NEAR(first[0], -60, 0.01);
  EXPECT_NEAR(first[2], -1, 0.001);
  EXPECT_EQ(countLines(result.out, "all\tfar mid near"), 1) << result.out;
  EXPECT_EQ(countLines(result.out, "corner\t0"), 1) << result.out;
  EXPECT_EQ(countLines(result.out, "inside\tball"), 1) << result.out;
  EXPECT_EQ(countLines(result.out, "point\t0\tfar"), 1) << result.out;
  EXPECT_EQ(countLines(result.out, "none\tnil"), 1) << result.out;
  EXPECT_EQ(countLines(result.out, "physics: world: a ray cast from a point to itself hits nothing"), 1);
}

TEST(PhysicsRun, EveryBadInputIsRefusedWithOneLineAndNoAbort) {
  GameRun result = run(
      "function body(name, b) return {name = name, body = b} end\n"
      "a = body('a', {})\n"
      "b = {body = {shape = 'circle', radius = 5}, y = 40}\n"
      "arena = {physics = {}, a, b,\n"
      "  body('dart', {shape = 'polygon', points = {0, 0, 40, 0, 10, 10, 0, 40}}),\n"
      "  body('line', {shape = 'polygon', points = {0, 0, 20, 0, 40, 0}}),\n"
      "  body('nine', {shape = 'polygon', points = {0,0, 10,0, 20,1, 30,3, 40,6, 50,10, 60,15, 70,21, 80,28}}),\n"
      "  body('flat', {width = 0, height = 10}),\n"
      "  body('hollow', {shape = 'circle', radius = -4}),\n"
      "  body('nan', {shape = 'circle', radius = 0/0}),\n"
      "  body('chain', {shape = 'chain', points = {0, 0, 0, 0, 10, 0}}),\n"
      "  body('blob', {shape = 'blob'}),\n"
      "  body('huge', {width = 1e30, height = 1e30}),\n"
      "  {x = 1/0, body = {width = 5, height = 5}},\n"
      "  {{body = {width = 5, height = 5}}}}\n"
      "world = {camera = {}, arena, {{name = 'stray', body = {width = 5, height = 5}}}}\n"
      "function update() frame = frame + 1\n"
      "  if frame == 5 then\n"
      "    print('self', bodies.revoluteJoint(b, b, 0, 0))\n"
      "    bodies.applyImpulse(b, 0/0, 1)\n"
      "    bodies.applyImpulse(a, 1, 1)\n"
      "    print('ray', tostring(bodies.rayCast(arena, 1, 1, 1, 1)))\n"
      "  end end\n",
      10);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  for (const char* line : {
           "physics: a: a box needs a width and height (or a texture on its node); the body is left out",
           "physics: dart: the polygon is not convex (or has corners in a line); the body is left out",
           "physics: line: the polygon has no area; the body is left out",
           "physics: nine: a polygon has at most 8 corners (split it into several shapes); the body is left out",
           "physics: flat: a box needs a width and height above 0; the body is left out",
           "physics: hollow: a circle needs a radius above 0; the body is left out",
           "physics: nan: a number is not finite (NaN or infinite); the body is left out",
           "physics: chain: two neighbouring points of the chain (almost) coincide; the body is left out",
           "physics: blob: unknown shape \"blob\" (box, circle, polygon, edge or chain); the body is left out",
           "physics: huge: the shape is too large; the body is left out",
           "physics: world[1][12]: x, y and rotation must be finite numbers within 1e9; the body is left out",
           "physics: stray: a body outside any world (a node with a physics table above it) is left out",
           "physics: world[1][2]: a joint needs two different bodies; none is made",
           "physics: world[1][2]: a number passed to the bodies module is not finite (or beyond 1e9); the call does nothing",
           "physics: a: its body was refused, so the call does nothing",
           "physics: world[1]: a ray cast from a point to itself hits nothing",
       })
    EXPECT_EQ(countLines(result.out, line), 1) << line << "\n" << result.out;
  EXPECT_EQ(countLines(result.out, "self\t0"), 1);
  // The body below a plain node is fine; nothing else is said.
  EXPECT_EQ(countLinesStartingWith(result.out, "physics: "), 16) << result.out;
}

TEST(PhysicsRun, TwoRunsGiveByteIdenticalPositions) {
  GameFolder game;
  game.writeMain(std::string(HEADER) +
                 "pile = {physics = {pixelsPerMeter = 40},\n"
                 "  {body = {type = 'static', shape = 'chain', loop = true, side = 'inside',\n"
                 "    points = {-150, -110, 150, -110, 150, 200, -150, 200}}}}\n"
                 "for k = 1, 60 do pile[#pile + 1] = {body = {width = 12 + k % 5, height = 10,\n"
                 "  restitution = 0.2}, x = (k * 37) % 200 - 100, y = k * 3, rotation = k * 7} end\n"
                 "world = {camera = {}, pile}\n"
                 "function update() frame = frame + 1\n"
                 "  if frame == 200 then for k = 2, #pile do local n = pile[k]\n"
                 "    print(string.format('%.17g %.17g %.17g', n.x, n.y, n.rotation)) end end end\n");
  GameRun first = runFrames(game, 201);
  GameRun second = runFrames(game, 201);
  ASSERT_EQ(first.exitStatus, 0) << first.out << first.err;
  EXPECT_EQ(countLinesStartingWith(first.out, "-") + countLinesStartingWith(first.out, "1") +
                countLinesStartingWith(first.out, "2") + countLinesStartingWith(first.out, "3") +
                countLinesStartingWith(first.out, "4") + countLinesStartingWith(first.out, "5") +
                countLinesStartingWith(first.out, "6") + countLinesStartingWith(first.out, "7") +
                countLinesStartingWith(first.out, "8") + countLinesStartingWith(first.out, "9") +
                countLinesStartingWith(first.out, "0"),
            60);
  EXPECT_EQ(first.out, second.out);
}

TEST(PhysicsRun, AWorldReplacedAThousandTimesLeavesNothingBehind) {
  // Every third frame a new world; the one before got a joint once its
  // bodies were made (the frame after the walk first saw it).
  GameRun result = run(
      "function fresh() local w = {physics = {}}\n"
      "  for k = 1, 5 do w[k] = {body = {shape = 'circle', radius = 5}, x = k * 12, y = k,\n"
      "    onCollision = function() end} end\n"
      "  w[6] = {body = {type = 'static', width = 200, height = 10}, y = -20}\n"
      "  return w end\n"
      "world = {camera = {}}\n"
      "joints = 0\n"
      "function update() frame = frame + 1\n"
      "  if frame % 3 == 2 and world[1] then\n"
      "    if bodies.distanceJoint(world[1][1], world[1][2], 12, 1, 24, 2) > 0 then\n"
      "      joints = joints + 1 end end\n"
      "  if frame % 3 == 0 then world[1] = fresh() end\n"
      "  if frame == 300 or frame == 3000 then collectgarbage('collect'); collectgarbage('collect')\n"
      "    print('memory', frame, joints, collectgarbage('count')) end end\n",
      3001);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> early = numbersAfter(result.out, "memory\t300\t");
  std::vector<double> late = numbersAfter(result.out, "memory\t3000\t");
  ASSERT_EQ(early.size(), 2u) << result.out;
  ASSERT_EQ(late.size(), 2u) << result.out;
  EXPECT_EQ(late[0], 999);  // a joint in every world but the last
  // Every old world's nodes are collectable: the interpreter does not grow.
  EXPECT_LT(late[1], early[1] + 16) << result.out;
  EXPECT_EQ(countLinesStartingWith(result.out, "physics: "), 0) << result.out;
}

TEST(PhysicsRun, ADisabledSubtreeKeepsItsBodiesAndARemovedOneLosesThem) {
  GameRun result = run(
      "shelf = {enabled = true, {name = 'box', body = {width = 10, height = 10}, y = 50}}\n"
      "world = {camera = {}, physics = {gravity = {0, -200}}, shelf}\n"
      "function update() frame = frame + 1\n"
      "  if frame == 20 then shelf.enabled = false; print('paused', shelf[1].y) end\n"
      "  if frame == 60 then print('still', shelf[1].y, tostring(bodies.hasBody(shelf[1])))\n"
      "    shelf.enabled = true end\n"
      "  if frame == 70 then print('moving', tostring(shelf[1].y < 40)) end\n"
      "  if frame == 71 then keep = shelf[1]; world[1] = nil end\n"
      "  if frame == 74 then print('gone', tostring(bodies.hasBody(keep))) end end\n",
      75);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> paused = numbersAfter(result.out, "paused");
  std::vector<double> still = numbersAfter(result.out, "still");
  ASSERT_EQ(paused.size(), 1u) << result.out;
  ASSERT_FALSE(still.empty()) << result.out;
  EXPECT_EQ(paused[0], still[0]);
  EXPECT_NE(result.out.find("still\t" ), std::string::npos);
  EXPECT_NE(result.out.find("\ttrue\n"), std::string::npos) << result.out;
  EXPECT_EQ(countLines(result.out, "moving\ttrue"), 1) << result.out;
  EXPECT_EQ(countLines(result.out, "gone\tfalse"), 1) << result.out;
}

TEST(PhysicsRun, AKinematicBodyMovedByItsFieldsCarriesWhatItTouches) {
  GameRun result = run(
      "lift = {body = {type = 'kinematic', width = 100, height = 10}, x = 0, y = -50}\n"
      "crate = {body = {width = 10, height = 10, friction = 1}, y = -40}\n"
      "world = {camera = {}, physics = {}, lift, crate}\n"
      "function update() frame = frame + 1\n"
      "  if frame > 30 then lift.x = lift.x + 0.5 end\n"
      "  if frame == 120 then print('carried', crate.x, lift.x) end end\n",
      121);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> carried = numbersAfter(result.out, "carried");
  ASSERT_EQ(carried.size(), 2u) << result.out;
  EXPECT_GT(carried[1], 40);
  EXPECT_NEAR(carried[0], carried[1], 5);  // riding along, not left behind
}

// No update and no onUpdate: between contacts no script runs, so the sync
// may skip its walk then, but never past a handler that moved a node.
TEST(PhysicsRun, ANodeMovedByAHandlerInAnIdleSceneTakesItsBodyAlong) {
  GameRun result = run(
      "ball = {body = {shape = 'circle', radius = 10}, y = 100}\n"
      "hits = 0\n"
      "ball.onCollision = function(self)\n"
      "  hits = hits + 1\n"
      "  if hits == 1 then self.x, self.y = 100, 100\n"
      "  else print('landed', hits, self.x, self.y) end end\n"
      "world = {camera = {}, physics = {},\n"
      "  {body = {type = 'static', width = 300, height = 20}, y = -110}, ball}\n",
      200);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> landed = numbersAfter(result.out, "landed");
  ASSERT_EQ(landed.size(), 3u) << result.out;
  EXPECT_EQ(landed[0], 2);
  EXPECT_NEAR(landed[1], 100, 1);  // it fell again from where it was put
  EXPECT_NEAR(landed[2], -90, 2);
}

TEST(PhysicsRun, DebugDrawOutlinesShapesOverTheScene) {
  GameFolder game;
  game.writeMain(
      "config = {width = 200, height = 200}\n"
      "clearColor = {red = 0, green = 0, blue = 0}\n"
      "world = {camera = {}, physics = {debugDraw = true},\n"
      "  {body = {type = 'static', width = 100, height = 60}}}\n");
  GameRun result = runFrames(game, 3, true);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  Picture shot = readPicture(game.file("shot.png"));
  ASSERT_EQ(shot.width, 200);
  // A static body's outline is blue-ish; its inside and the outside stay black.
  RGBA edge = shot.at(50, 100), inside = shot.at(100, 100), outside = shot.at(20, 100);
  EXPECT_GT(edge[2], 200) << edge[0] << " " << edge[1] << " " << edge[2];
  EXPECT_TRUE(near(inside, {0, 0, 0, 255}));
  EXPECT_TRUE(near(outside, {0, 0, 0, 255}));
}

TEST(PhysicsRun, ACameraOnABodyFollowsIt) {
  GameFolder game;
  game.writeMain(
      "config = {width = 200, height = 200}\n"
      "clearColor = {red = 0, green = 0, blue = 0}\n"
      "local floor = {-100, -10, 0, 100, -10, 0, 100, 10, 0, -100, -10, 0, 100, 10, 0, -100, 10, 0}\n"
      "world = {physics = {gravity = {0, -500}},\n"
      "  {body = {type = 'static', width = 200, height = 20}, y = -100, vertices = floor,\n"
      "   uniforms = {color = {0, 1, 0, 1}}},\n"
      "  {body = {width = 10, height = 10}, y = 100, camera = {}}}\n");
  GameRun result = runFrames(game, 120, true);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  Picture shot = readPicture(game.file("shot.png"));
  ASSERT_EQ(shot.width, 200);
  // The body rests with its centre 5 above the floor's top: the floor fills
  // the rows from 5 to 25 below the middle of the view.
  EXPECT_TRUE(near(shot.at(100, 112), {0, 255, 0, 255}));
  EXPECT_TRUE(near(shot.at(100, 90), {0, 0, 0, 255}));
}

TEST(PhysicsRun, ContradictingJointsNeverPutNaNIntoTheScene) {
  // The weld holds d where the static s was; the rod of length 0 holds it at
  // s2; then s jumps: Box2D's solver blows d up.
  GameRun result = run(
      "s = {name = 's', body = {type = 'static', width = 10, height = 10}}\n"
      "s2 = {name = 's2', body = {type = 'static', width = 10, height = 10}, x = 40}\n"
      "d = {name = 'd', body = {width = 10, height = 10}, x = 80}\n"
      "world = {camera = {}, physics = {}, s, s2, d}\n"
      "function update() frame = frame + 1\n"
      "  if frame == 4 then bodies.weldJoint(s, d, 0, 0)\n"
      "    bodies.distanceJoint(s2, d, 40, 0, 40, 0); bodies.teleport(s, 5, 5, 10) end\n"
      "  if frame == 200 then print('finite', tostring(d.x == d.x and d.y == d.y and\n"
      "    math.abs(d.x) < 1e9 and d.rotation == d.rotation)) end end\n",
      201);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  EXPECT_EQ(countLines(result.out, "finite\ttrue"), 1) << result.out;
  EXPECT_EQ(countLinesStartingWith(result.out, "physics: d: the simulation blew the body up"), 1)
      << result.out;
}

// `update` runs before the frame's steps: what it disables or pauses takes no
// step in that frame. A paused world stays drawn and answers queries.
TEST(PhysicsRun, AWorldStopsInTheFrameThatDisablesOrPausesIt) {
  GameFolder game;
  game.writeMain(std::string(HEADER) +
      "local function ball() return {body = {shape = 'circle', radius = 5}, x = 1000} end\n"
      "a, b, c = ball(), ball(), ball()\n"
      "arena = {physics = {}, a}\n"
      "holder = {{physics = {}, b}}\n"
      "paused = {physics = {debugDraw = true}, c,\n"
      "  {body = {type = 'static', width = 100, height = 60}}}\n"
      "world = {camera = {}, arena, holder, paused}\n"
      "function update() frame = frame + 1\n"
      "  if frame == 20 then arena.enabled = false; holder.enabled = false\n"
      "    paused.physics.paused = true; print('before', a.y, b.y, c.y) end\n"
      "  if frame == 21 then print('after', a.y, b.y, c.y) end\n"
      "  if frame == 25 then local found = bodies.queryPoint(paused, 1000, c.y)\n"
      "    print('query', #found, tostring(found[1] == c)) end\n"
      "  if frame == 30 then paused.physics.paused = false; resumed = c.y end\n"
      "  if frame == 35 then print('resumed', c.y - resumed)\n"
      "    paused.physics.paused = true end end\n");
  GameRun result = runFrames(game, 40, true);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> before = numbersAfter(result.out, "before");
  std::vector<double> after = numbersAfter(result.out, "after");
  ASSERT_EQ(before.size(), 3u) << result.out;
  EXPECT_EQ(after, before) << result.out;
  EXPECT_EQ(countLines(result.out, "query\t1\ttrue"), 1) << result.out;
  std::vector<double> resumed = numbersAfter(result.out, "resumed");
  ASSERT_EQ(resumed.size(), 1u) << result.out;
  EXPECT_LT(resumed[0], -1);  // unpaused, it falls on
  // The paused world's outlines are still drawn.
  Picture shot = readPicture(game.file("shot.png"));
  ASSERT_EQ(shot.width, 320);
  RGBA edge = shot.at(110, 120);
  EXPECT_GT(edge[2], 200) << edge[0] << " " << edge[1] << " " << edge[2];
}

// A body node's own scale sizes its shapes; a scale above it only warns.
TEST(PhysicsRun, ABodyNodesOwnScaleSizesItsShapes) {
  GameRun result = run(
      "big = {body = {width = 10, height = 10}, x = -60, y = 20, scale = 2}\n"
      "flat = {body = {width = 10, height = 10}, x = 0, y = 20, scaleX = 3, scaleY = -0.5}\n"
      "round = {body = {shape = 'circle', radius = 5, y = 5}, x = 60, y = 20, scale = 3}\n"
      "world = {camera = {}, physics = {},\n"
      "  {body = {type = 'static', width = 300, height = 20}, y = -100}, big, flat, round,\n"
      "  {scale = 2, {name = 'inner', body = {width = 10, height = 10}, x = 200}}}\n"
      "function update() frame = frame + 1\n"
      "  if frame == 150 then print('rest', big.y, flat.y, round.y, bodies.getMass(flat)) end end\n",
      151);
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> rest = numbersAfter(result.out, "rest");
  ASSERT_EQ(rest.size(), 4u) << result.out;
  // The floor's top is at -90; half heights 10, 2.5, and the circle's centre
  // 15 above its node with radius 15.
  EXPECT_NEAR(rest[0], -80, 1);
  EXPECT_NEAR(rest[1], -87.5, 1);
  EXPECT_NEAR(rest[2], -90, 1);
  EXPECT_NEAR(rest[3], 30.0 * 5 / (64 * 64), 1e-4);  // 30 × 5 units at 1 kg/m²
  EXPECT_EQ(countLinesStartingWith(result.out, "physics: inner: a node above the body"), 1)
      << result.out;
  EXPECT_EQ(countLinesStartingWith(result.out, "physics: "), 1) << result.out;
}

// A frame far longer than 8 steps (a level load) steps 8 times; the rest of
// its time is dropped, not worked off by rushing the frames after it.
TEST(PhysicsRun, AfterAVeryLongFrameBodiesGoOnAtTheirSpeed) {
  GameFolder game;
  game.writeMain(std::string(HEADER) +
      "ball = {body = {shape = 'circle', radius = 5, vx = 600}}\n"
      "world = {camera = {}, physics = {gravity = {0, 0}}, ball}\n"
      "function update(dt) frame = frame + 1\n"
      "  if frame == 10 then local t = os.clock() while os.clock() - t < 0.4 do end end\n"
      "  if frame == 12 then x0, total = ball.x, 0 end\n"
      "  if frame >= 12 and frame < 40 then total = total + dt end\n"
      "  if frame == 40 then print('moved', ball.x - x0, total * 600) end end\n");
  GameRun result = runGame(game, {"--windowed", "--frames", "41"});
  ASSERT_EQ(result.exitStatus, 0) << result.out << result.err;
  std::vector<double> moved = numbersAfter(result.out, "moved");
  ASSERT_EQ(moved.size(), 2u) << result.out;
  // At most what the frames' time allows, give or take a step's 10 units (a
  // slow frame of a busy machine may drop time too, so not at least).
  EXPECT_LE(moved[0], moved[1] + 12) << result.out;
  EXPECT_GT(moved[0], 0) << result.out;
}
