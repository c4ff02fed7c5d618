// Ending the run on request of the script.
#pragma once

namespace app {
// Logs "Exit" and asks the frame loop to stop after the current frame.
void quit();
}
