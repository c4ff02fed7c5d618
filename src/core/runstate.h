// Process-wide host state shared by start-up, the frame loop and the renderer.
#pragma once

extern int screenWidth;   // current drawable size, updated on window events
extern int screenHeight;
extern int designWidth;   // the size the script asked for in config
extern int designHeight;
extern int quit;          // non-zero once an end of the run was requested
