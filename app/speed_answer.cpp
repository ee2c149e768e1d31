#include "app/speed_answer.h"

#include <limits>

bool ParseSpeedAnswer(std::wstring_view answer, int32_t& speedKmh) {
  int64_t value = 0;
  for (const wchar_t c : answer) {
    // Only ASCII digits: iswdigit and friends accept other scripts' digits
    // on some platforms, which this value cannot come from.
    if (c < L'0' || c > L'9') return false;
    value = value * 10 + (c - L'0');
    if (value > std::numeric_limits<int32_t>::max()) return false;
  }
  speedKmh = static_cast<int32_t>(value);
  return true;
}
