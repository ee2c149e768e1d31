#include "measure/distance.h"

#include <cmath>
#include <limits>

#include "measure/number_text.h"
#include "common/x87.h"

namespace {

constexpr uint64_t kInt32Max = std::numeric_limits<int32_t>::max();

// Exact for any pair of int32 values (the difference can reach 2^32 - 1).
uint64_t AbsDiff(int32_t a, int32_t b) {
  const int64_t d = static_cast<int64_t>(a) - static_cast<int64_t>(b);
  return static_cast<uint64_t>(d < 0 ? -d : d);
}

int32_t Saturate(uint64_t v) { return static_cast<int32_t>(v > kInt32Max ? kInt32Max : v); }

// sqrt(dx² + dy²) rounded to the nearest integer, computed exactly. The
// square root of a whole number is never exactly x.5, so there are no ties.
// Distances beyond INT32_MAX (only from coordinates far outside any screen)
// saturate rather than turning into a negative number.
int32_t RoundedDistance(uint64_t dx, uint64_t dy) {
  if (dx > kInt32Max || dy > kInt32Max) return static_cast<int32_t>(kInt32Max);
  const uint64_t s = dx * dx + dy * dy;  // < 2^63
  uint64_t r = static_cast<uint64_t>(std::sqrt(static_cast<long double>(s)));
  while (r * r > s) --r;
  while ((r + 1) * (r + 1) <= s) ++r;
  // s lies above (r + 0.5)² = r² + r + 0.25 exactly when s - r² > r.
  if (s - r * r > r) ++r;
  return Saturate(r);
}

}  // namespace

Measurement Measure(MapPoint start, MapPoint end, int32_t speedKmh) {
  Measurement m{};
  const uint64_t dx = AbsDiff(start.x, end.x);
  const uint64_t dy = AbsDiff(start.y, end.y);
  m.dx = Saturate(dx);
  m.dy = Saturate(dy);
  m.km = RoundedDistance(dx, dy);
  if (speedKmh == 0) {
    // What the masked x87 division gives; TimeLine puts it into words.
    m.q = m.km > 0 ? std::numeric_limits<long double>::infinity()
                   : std::numeric_limits<long double>::quiet_NaN();
    return m;
  }
  m.q = static_cast<long double>(m.km) / static_cast<long double>(speedKmh);

  const long double whole = TruncTowardZero(m.q);
  // |q| <= INT32_MAX, so the 32-bit truncation always fits; it only matters
  // where the 16-bit store would have produced -32768.
  const bool fitsInt16 = whole >= -32768.0L && whole <= 32767.0L;
  m.hours = fitsInt16 ? TruncToInt16(m.q) : TruncToInt32(m.q);

  m.f = StoreFloat(m.q - whole);
  // A fraction just below one can round up to 1.0f, which would read as
  // "60 minutos"; keep it the largest float below one instead.
  if (std::fabs(m.f) >= 1.0f) m.f = std::copysign(std::nextafter(1.0f, 0.0f), m.f);
  m.minutes = StoreFloat(TruncTowardZero(60.0L * static_cast<long double>(m.f)));
  return m;
}

bool HasEndPoint(MapPoint end) { return end.x > 0 && end.y > 0; }

std::wstring DistanceLine(const Measurement& m) {
  return L"La distancia entre esos dos puntos es de " + NumberText(m.km) + L" km.";
}

std::wstring TimeLine(const Measurement& m, int32_t speedKmh) {
  const std::wstring head = L"A " + NumberText(speedKmh) + L" km/h";
  if (speedKmh == 0 || !std::isfinite(m.q)) {
    if (m.km > 0) return head + L" no se llega nunca";
    return head + L" = 0 horas y 0 minutos";
  }
  return head + L" = " + NumberText(m.hours) + L" horas y " + WholeNumberText(m.minutes) +
         L" minutos";
}
