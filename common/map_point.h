// A point of the map control, which is also a point of the canvas: client
// pixels, origin top-left, y downwards. No Windows header, so that the
// arithmetic on points also builds natively.
#pragma once
#include <cstdint>

struct MapPoint {
  int32_t x, y;
};
