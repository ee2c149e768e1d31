#pragma once
#include <cstdint>
#include <string>

#include "common/map_point.h"

struct Measurement {
  int32_t dx, dy;  // absolute differences, saturated at INT32_MAX
  int32_t km;      // rounded straight-line distance, saturated at INT32_MAX
  long double q;   // km / speed: +inf at speed 0 (NaN when km is 0 too)
  int32_t hours;   // q truncated toward zero; 0 when q is not finite
  float f;         // fraction of an hour, rounded to float; 0 when q is not finite
  float minutes;   // 60 * f truncated toward zero
};

Measurement Measure(MapPoint start, MapPoint end, int32_t speedKmh);

// A point on column 0 or row 0 is not a usable end: the caller resets.
bool HasEndPoint(MapPoint end);

std::wstring DistanceLine(const Measurement& m);
std::wstring TimeLine(const Measurement& m, int32_t speedKmh);
