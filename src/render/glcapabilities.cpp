// The GL capability record, from the context the platform gives.
#include "render/glcapabilities.h"

#include "platform/platform.h"

namespace glcapabilities {
namespace {
Record describe(platform::GraphicsContext context) {
  bool webgl = context == platform::GraphicsContext::WebGL2;
  return Record{!webgl, webgl, webgl, webgl};
}
}  // namespace

const Record& current() {
  static const Record record = describe(platform::graphicsContext());
  return record;
}
}  // namespace glcapabilities
