// The bodies module: impulses, forces, velocities, teleporting, ray casts,
// queries and joints for the bodies of physics worlds (nodes with a `body`
// table under a node with a `physics` table). What scripts get is listed
// here.
%module bodies
%include "bindings/conventions.i"

%{
#include "physics/api.h"
%}

// A node argument is the table itself, read where it lies on the stack.
%typemap(in, checkfn="lua_istable") bodies::Node %{$1.L = L; $1.index = $input;%}
%typemap(typecheck) bodies::Node %{$1 = lua_istable(L, $input);%}
// Results pushed by the call itself (a table, nil or several numbers).
%typemap(out) bodies::Results %{SWIG_arg += $1.count;%}

namespace bodies {
struct Node;
struct Results;

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
