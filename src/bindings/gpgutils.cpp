// Desktop stubs of the Google Play Games service.
#include "bindings/gpgutils.h"

namespace gpgutils {
void showLeaderboards() {}
void showAchievements() {}
void submitScore(int) {}
void unlockAchievement(char*) {}
void cleanup() {}
}  // namespace gpgutils
