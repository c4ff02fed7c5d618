// A test-only module with one class, for the conventions that only objects show
// (text form, identity, ownership, assignment) and for the argument kinds the
// real modules do not all have yet.
#pragma once

namespace probe {

struct Thing {
  int count = 0;
  ~Thing();
};

// Things destroyed so far.
extern int destroyed;

// A record the native side keeps; handed out by pointer.
Thing* shared();
// Destroys a record the script has disowned.
void release(Thing* thing);
// The thing's count, or -1 for null.
int countOf(Thing* thing);

bool flip(bool value);
unsigned int half(unsigned int value);
int codeOf(char c);
// Throws std::runtime_error with `message` when `fail` is set, else an int;
// returns 1 otherwise.
int mayThrow(bool fail, const char* message);

}  // namespace probe
