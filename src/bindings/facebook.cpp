// Desktop stubs of the Facebook service.
#include "bindings/facebook.h"

namespace facebook {
void init() {}
void login() {}
}  // namespace facebook
