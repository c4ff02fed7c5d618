// The `bodies` script module: what a body's table cannot say. Impulses,
// forces and velocities, teleporting, ray casts and queries, and joints.
// Units are the world node's (lengths; masses in kg, so impulses are
// kg · units / s and forces kg · units / s²), angles are degrees.
//
// Bad arguments (a node without a body, NaN, a zero-length ray, a joint of a
// body with itself) never reach Box2D: the call logs one warning naming the
// node, once, and does nothing (returning nil, an empty list, or 0).
#pragma once

#include <lua.hpp>

namespace bodies {
// A node table passed by the script: the interpreter and its stack slot.
struct Node {
  lua_State* L = nullptr;
  int index = 0;
};
// Values the call left on top of the stack as its results.
struct Results {
  int count = 0;
};

bool hasBody(Node node);
void applyImpulse(Node node, double x, double y);
void applyAngularImpulse(Node node, double impulse);
void applyForce(Node node, double x, double y);
void applyTorque(Node node, double torque);
void setVelocity(Node node, double x, double y);
Results getVelocity(Node node);
void setAngularVelocity(Node node, double degreesPerSecond);
double getAngularVelocity(Node node);
double getMass(Node node);
void teleport(Node node, double x, double y, double rotation);

Results rayCast(Node world, double x1, double y1, double x2, double y2);
Results rayCastAll(Node world, double x1, double y1, double x2, double y2);
Results queryBox(Node world, double x1, double y1, double x2, double y2);
Results queryPoint(Node world, double x, double y);

int distanceJoint(Node a, Node b, double ax, double ay, double bx, double by);
int revoluteJoint(Node a, Node b, double x, double y);
int prismaticJoint(Node a, Node b, double x, double y, double axisX, double axisY);
int weldJoint(Node a, Node b, double x, double y);
int wheelJoint(Node a, Node b, double x, double y, double axisX, double axisY);
int mouseJoint(Node node, double x, double y, double maxForce);
void setJointTarget(int joint, double x, double y);
void setJointMotor(int joint, bool enabled, double speed, double maxTorque);
void setJointLimits(int joint, bool enabled, double lower, double upper);
void setJointSpring(int joint, double frequency, double dampingRatio);
bool jointExists(int joint);
void destroyJoint(int joint);
}  // namespace bodies
