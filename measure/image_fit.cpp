#include "measure/image_fit.h"

#include <cmath>
#include <limits>

#include "common/x87.h"

namespace {

// Round half to even into a size of at least one pixel: a very thin image
// would otherwise scale to nothing and leave a zero-sized bitmap.
uint32_t PixelSize(long double v) {
  const long double r = RoundHalfEven(v);
  if (std::isnan(r) || r < 1.0L) return 1;
  constexpr long double max = std::numeric_limits<uint32_t>::max();
  return r > max ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(r);
}

}  // namespace

FitSize FitImageBox(uint32_t width, uint32_t height, float imageWidth, float imageHeight,
                    bool exactSize) {
  const long double iw = imageWidth, ih = imageHeight;
  if (width == 0) width = PixelSize(iw);
  if (height == 0) height = PixelSize(ih);
  if (exactSize) return {width, height};

  const long double rw = iw / width;
  const long double rh = ih / height;
  if (rw > rh && width < iw) {
    height = PixelSize(ih / rw);
  } else if (rw <= rh && height < ih) {
    width = PixelSize(iw / rh);
  }
  return {width, height};
}
