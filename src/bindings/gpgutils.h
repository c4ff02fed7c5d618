// The Google Play Games service seam; on the desktop every operation does nothing.
#pragma once

namespace gpgutils {
void showLeaderboards();
void showAchievements();
void submitScore(int value);
void unlockAchievement(char* id);
void cleanup();
}  // namespace gpgutils
