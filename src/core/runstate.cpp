// The run's process-wide numbers, zero until start-up sets them.
#include "core/runstate.h"

int screenWidth = 0;
int screenHeight = 0;
int designWidth = 0;
int designHeight = 0;
int quit = 0;
