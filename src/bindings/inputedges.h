// What the keyboard and mouse buttons did during the frame's event drain: the
// keys and buttons that went down or up. The host records each event as it
// delivers it; the app module's queries read the record.
//
// The record is emptied right before each frame's drain (after `update`), and
// in a frame that skips the drain (no `world` table) too. So `update` sees
// what the previous frame's drain delivered, the scene walk and the event
// callbacks see this frame's, and every press is seen by exactly one `update`.
// A press and a release in one drain count as both.
#pragma once

#include <SDL.h>

namespace inputedges {
void beginDrain();
// A key event; repeats are not new presses and are not recorded.
void noteKey(SDL_Keycode key, bool down, bool repeat);
void noteButton(int button, bool down);

bool keyWentDown(SDL_Keycode key);
bool keyWentUp(SDL_Keycode key);
bool buttonWentDown(int button);
bool buttonWentUp(int button);
}  // namespace inputedges
