// The app module's mouse cursor: shown or hidden, one of the system's shapes,
// or a picture. The window starts with it hidden unless config.cursor is true.
#pragma once

namespace app {
void showCursor(bool show);
bool isCursorShown();
// "arrow", "hand", "ibeam" or "crosshair"; false (nothing changes) for any
// other name or when the system has no such cursor.
bool setSystemCursor(const char* name);
// The PNG file assets/textures/<file> as the cursor, with the point that
// clicks at (hotX, hotY) pixels from its top-left corner (clamped into the
// picture); false (nothing changes) when the file does not decode.
bool setCursorImage(const char* file, int hotX, int hotY);
}  // namespace app
