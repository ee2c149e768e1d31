#pragma once
// The program's arithmetic is that of the x87 unit: 80-bit long double,
// round half to even, every exception masked. These helpers reproduce what
// its integer and float stores do without relying on C++ casts, which are
// undefined for out-of-range values.
#include <cmath>
#include <cstdint>
#include <limits>

inline long double TruncTowardZero(long double v) { return std::trunc(v); }

// Built on floor so that it does not depend on the current rounding mode.
// v - floor(v) is exact in binary floating point, so the tie test is exact.
inline long double RoundHalfEven(long double v) {
  if (!std::isfinite(v)) return v;
  const long double low = std::floor(v);
  const long double diff = v - low;
  if (diff > 0.5L) return low + 1.0L;
  if (diff < 0.5L) return low;
  return std::fmod(low, 2.0L) == 0.0L ? low : low + 1.0L;
}

// An integer store of infinity, NaN or an out-of-range value gives the
// "integer indefinite": the most negative value of the destination width.
template <typename Int>
inline Int StoreWhole(long double whole) {
  constexpr long double lo = static_cast<long double>(std::numeric_limits<Int>::min());
  constexpr long double hi = static_cast<long double>(std::numeric_limits<Int>::max());
  if (!std::isfinite(whole) || whole < lo || whole > hi) return std::numeric_limits<Int>::min();
  return static_cast<Int>(whole);
}

inline int32_t RoundToInt32(long double v) { return StoreWhole<int32_t>(RoundHalfEven(v)); }
inline int32_t TruncToInt32(long double v) { return StoreWhole<int32_t>(std::trunc(v)); }
inline int16_t TruncToInt16(long double v) { return StoreWhole<int16_t>(std::trunc(v)); }

// Rounds to single precision as a 32-bit memory store does. On i686 the
// compiler may otherwise keep a "float" in an 80-bit register, and the
// rounding is part of the visible result (0.7 h is 41 minutes, not 42).
inline float StoreFloat(long double v) {
  volatile float stored = static_cast<float>(v);
  return stored;
}
