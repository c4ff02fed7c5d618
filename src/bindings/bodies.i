// The bodies module: impulses, forces, velocities, teleporting, ray casts,
// queries and joints for the bodies of physics worlds (nodes with a `body`
// table under a node with a `physics` table).
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

%ignore bodies::Node;
%ignore bodies::Results;
%include "physics/api.h"
