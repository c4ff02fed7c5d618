// The GL capability record, from the context the platform gives.
#include "render/glcapabilities.h"

#include "platform/platform.h"

namespace glcapabilities {
namespace {
Record describe(platform::GraphicsContext context) {
  bool webgl = context == platform::GraphicsContext::WebGL2;
  Record record;
  record.errorChecksCheap = !webgl;
  record.floatTargetsSizedOnly = webgl;
  record.streamBuffersNeeded = webgl;
  record.oneContextForLife = webgl;
  return record;
}
}  // namespace

const Record& current() {
  static const Record record = describe(platform::graphicsContext());
  return record;
}
}  // namespace glcapabilities
