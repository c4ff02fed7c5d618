// Joints the script makes between bodies, known to it by number. Box2D
// destroys a joint with either of its bodies; the world's destruction
// listener forgets the number then (worlds.cpp).
#include <cmath>

#include "core/angles.h"
#include "physics/lookup.h"
#include "physics/worlds.h"

namespace bodies {
using physics::Body;
using physics::World;

namespace {
int lastJoint = 0;

// Both bodies, when they are two different bodies of one world and the
// numbers are finite.
bool pair(Node a, Node b, std::initializer_list<double> numbers, Body*& first, Body*& second) {
  first = physics::bodyOf(a);
  second = physics::bodyOf(b);
  if (!first || !second) return false;
  if (!physics::finiteArguments(first->name, numbers)) return false;
  if (first == second) {
    physics::warnOnceAlways(first->name, "a joint needs two different bodies; none is made");
    return false;
  }
  if (first->world != second->world) {
    physics::warnOnceAlways(first->name, "a joint's bodies must be in one world; none is made");
    return false;
  }
  return true;
}

bool axisOk(const Body& body, double x, double y) {
  if (x * x + y * y > 1e-12) return true;
  physics::warnOnceAlways(body.name, "a joint's axis needs a direction; none is made");
  return false;
}

int make(World& world, b2JointDef& def) {
  def.userData.pointer = static_cast<uintptr_t>(++lastJoint);
  world.joints[lastJoint] = world.b2->CreateJoint(&def);
  return lastJoint;
}

// The joint of that number and its world, or null after a warning.
b2Joint* find(int id, World** in = nullptr) {
  for (auto& world : physics::worlds()) {
    auto found = world->joints.find(id);
    if (found != world->joints.end()) {
      if (in) *in = world.get();
      return found->second;
    }
  }
  physics::warnOnceAlways("joint " + std::to_string(id), "no such joint (destroyed with a body?)");
  return nullptr;
}

b2Vec2 meters(const World& world, double x, double y) {
  return world.toMeters(static_cast<float>(x), static_cast<float>(y));
}

b2Vec2 direction(double x, double y) {
  b2Vec2 axis(static_cast<float>(x), static_cast<float>(y));
  axis.Normalize();
  return axis;
}
}  // namespace

int distanceJoint(Node a, Node b, double ax, double ay, double bx, double by) {
  Body *first, *second;
  if (!pair(a, b, {ax, ay, bx, by}, first, second)) return 0;
  World& world = *first->world;
  b2DistanceJointDef def;
  def.Initialize(first->body, second->body, meters(world, ax, ay), meters(world, bx, by));
  return make(world, def);
}

int revoluteJoint(Node a, Node b, double x, double y) {
  Body *first, *second;
  if (!pair(a, b, {x, y}, first, second)) return 0;
  b2RevoluteJointDef def;
  def.Initialize(first->body, second->body, meters(*first->world, x, y));
  return make(*first->world, def);
}

int prismaticJoint(Node a, Node b, double x, double y, double axisX, double axisY) {
  Body *first, *second;
  if (!pair(a, b, {x, y, axisX, axisY}, first, second) || !axisOk(*first, axisX, axisY)) return 0;
  b2PrismaticJointDef def;
  def.Initialize(first->body, second->body, meters(*first->world, x, y), direction(axisX, axisY));
  return make(*first->world, def);
}

int weldJoint(Node a, Node b, double x, double y) {
  Body *first, *second;
  if (!pair(a, b, {x, y}, first, second)) return 0;
  b2WeldJointDef def;
  def.Initialize(first->body, second->body, meters(*first->world, x, y));
  return make(*first->world, def);
}

int wheelJoint(Node a, Node b, double x, double y, double axisX, double axisY) {
  Body *first, *second;
  if (!pair(a, b, {x, y, axisX, axisY}, first, second) || !axisOk(*first, axisX, axisY)) return 0;
  b2WheelJointDef def;
  def.Initialize(first->body, second->body, meters(*first->world, x, y), direction(axisX, axisY));
  b2LinearStiffness(def.stiffness, def.damping, 4, 0.7f, first->body, second->body);
  return make(*first->world, def);
}

int mouseJoint(Node node, double x, double y, double maxForce) {
  Body* body = physics::bodyOf(node);
  if (!body || !physics::finiteArguments(body->name, {x, y, maxForce})) return 0;
  if (maxForce < 0) {
    physics::warnOnceAlways(body->name, "a mouse joint's maxForce must not be negative; none is made");
    return 0;
  }
  World& world = *body->world;
  b2MouseJointDef def;
  def.bodyA = world.ground;
  def.bodyB = body->body;
  def.target = meters(world, x, y);
  def.maxForce = static_cast<float>(maxForce) / world.pixelsPerMeter;
  b2LinearStiffness(def.stiffness, def.damping, 5, 0.7f, def.bodyA, def.bodyB);
  body->body->SetAwake(true);
  return make(world, def);
}

void setJointTarget(int id, double x, double y) {
  World* world = nullptr;
  b2Joint* joint = find(id, &world);
  if (!joint || !physics::finiteArguments("joint " + std::to_string(id), {x, y})) return;
  if (joint->GetType() != e_mouseJoint) {
    physics::warnOnceAlways("joint " + std::to_string(id), "only a mouse joint has a target");
    return;
  }
  static_cast<b2MouseJoint*>(joint)->SetTarget(meters(*world, x, y));
}

void setJointMotor(int id, bool enabled, double speed, double maxTorque) {
  World* world = nullptr;
  b2Joint* joint = find(id, &world);
  std::string who = "joint " + std::to_string(id);
  if (!joint || !physics::finiteArguments(who, {speed, maxTorque})) return;
  if (maxTorque < 0) {
    physics::warnOnceAlways(who, "a motor's maxTorque must not be negative");
    return;
  }
  float ppm = world->pixelsPerMeter;
  float most = static_cast<float>(maxTorque);
  switch (joint->GetType()) {
    case e_revoluteJoint: {
      auto* revolute = static_cast<b2RevoluteJoint*>(joint);
      revolute->EnableMotor(enabled);
      revolute->SetMotorSpeed(angles::toRadians(static_cast<float>(speed)));
      revolute->SetMaxMotorTorque(most / (ppm * ppm));
      break;
    }
    case e_wheelJoint: {
      auto* wheel = static_cast<b2WheelJoint*>(joint);
      wheel->EnableMotor(enabled);
      wheel->SetMotorSpeed(angles::toRadians(static_cast<float>(speed)));
      wheel->SetMaxMotorTorque(most / (ppm * ppm));
      break;
    }
    case e_prismaticJoint: {
      // Along the axis: speed in units / s, the most force in kg · units / s².
      auto* prismatic = static_cast<b2PrismaticJoint*>(joint);
      prismatic->EnableMotor(enabled);
      prismatic->SetMotorSpeed(static_cast<float>(speed) / ppm);
      prismatic->SetMaxMotorForce(most / ppm);
      break;
    }
    default:
      physics::warnOnceAlways(who, "only revolute, wheel and prismatic joints have motors");
  }
}

void setJointLimits(int id, bool enabled, double lower, double upper) {
  World* world = nullptr;
  b2Joint* joint = find(id, &world);
  std::string who = "joint " + std::to_string(id);
  if (!joint || !physics::finiteArguments(who, {lower, upper})) return;
  if (lower > upper) {
    physics::warnOnceAlways(who, "a joint's lower limit lies above its upper one; the limits stay");
    return;
  }
  switch (joint->GetType()) {
    case e_revoluteJoint: {
      auto* revolute = static_cast<b2RevoluteJoint*>(joint);
      revolute->SetLimits(angles::toRadians(static_cast<float>(lower)),
                          angles::toRadians(static_cast<float>(upper)));
      revolute->EnableLimit(enabled);
      break;
    }
    case e_prismaticJoint: {
      auto* prismatic = static_cast<b2PrismaticJoint*>(joint);
      prismatic->SetLimits(world->toMeters(static_cast<float>(lower)),
                           world->toMeters(static_cast<float>(upper)));
      prismatic->EnableLimit(enabled);
      break;
    }
    case e_wheelJoint: {
      auto* wheel = static_cast<b2WheelJoint*>(joint);
      wheel->SetLimits(world->toMeters(static_cast<float>(lower)),
                       world->toMeters(static_cast<float>(upper)));
      wheel->EnableLimit(enabled);
      break;
    }
    default:
      physics::warnOnceAlways(who, "only revolute, prismatic and wheel joints have limits");
  }
}

void setJointSpring(int id, double frequency, double dampingRatio) {
  b2Joint* joint = find(id);
  std::string who = "joint " + std::to_string(id);
  if (!joint || !physics::finiteArguments(who, {frequency, dampingRatio})) return;
  if (frequency < 0 || dampingRatio < 0) {
    physics::warnOnceAlways(who, "a spring's frequency and damping ratio must not be negative");
    return;
  }
  float stiffness = 0, damping = 0;
  float hertz = static_cast<float>(frequency), ratio = static_cast<float>(dampingRatio);
  b2Body *a = joint->GetBodyA(), *b = joint->GetBodyB();
  switch (joint->GetType()) {
    case e_distanceJoint: {
      // A spring lets the length vary; without one the rod is rigid: both
      // bounds at the rest length, or it would be a rope that only pulls.
      auto* distance = static_cast<b2DistanceJoint*>(joint);
      b2LinearStiffness(stiffness, damping, hertz, ratio, a, b);
      float rest = distance->GetLength();
      distance->SetMinLength(hertz > 0 ? 0 : rest);
      distance->SetMaxLength(hertz > 0 ? 1e6f : rest);
      distance->SetStiffness(stiffness);
      distance->SetDamping(damping);
      break;
    }
    case e_wheelJoint:
      b2LinearStiffness(stiffness, damping, hertz, ratio, a, b);
      static_cast<b2WheelJoint*>(joint)->SetStiffness(stiffness);
      static_cast<b2WheelJoint*>(joint)->SetDamping(damping);
      break;
    case e_mouseJoint:
      b2LinearStiffness(stiffness, damping, hertz, ratio, a, b);
      static_cast<b2MouseJoint*>(joint)->SetStiffness(stiffness);
      static_cast<b2MouseJoint*>(joint)->SetDamping(damping);
      break;
    case e_weldJoint:
      b2AngularStiffness(stiffness, damping, hertz, ratio, a, b);
      static_cast<b2WeldJoint*>(joint)->SetStiffness(stiffness);
      static_cast<b2WeldJoint*>(joint)->SetDamping(damping);
      break;
    default:
      physics::warnOnceAlways(who, "only distance, wheel, mouse and weld joints have springs");
  }
}

bool jointExists(int id) {
  for (auto& world : physics::worlds())
    if (world->joints.count(id)) return true;
  return false;
}

void destroyJoint(int id) {
  World* world = nullptr;
  if (!jointExists(id)) return;
  b2Joint* joint = find(id, &world);
  world->b2->DestroyJoint(joint);
  world->joints.erase(id);
}
}  // namespace bodies
