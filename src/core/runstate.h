// The run's process-wide state: the window's size as the scene sees it and the
// quit flag. Written by start-up, window events and app::quit; read by the
// frame loop and the camera projections. Owns nothing but these numbers.
#pragma once

extern int screenWidth;   // current drawable size, updated on window events
extern int screenHeight;
extern int designWidth;   // the size the script asked for in config
extern int designHeight;
extern int quit;          // non-zero once an end of the run was requested
