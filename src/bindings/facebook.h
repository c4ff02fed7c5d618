// The Facebook service seam; on the desktop every operation does nothing.
#pragma once

namespace facebook {
void init();
void login();
}  // namespace facebook
