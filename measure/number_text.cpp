#include "measure/number_text.h"

#include <cmath>
#include <limits>

std::wstring NumberText(long long n) {
  // Work on the unsigned magnitude so that the most negative value is safe.
  unsigned long long magnitude = n < 0 ? 0ULL - static_cast<unsigned long long>(n)
                                       : static_cast<unsigned long long>(n);
  wchar_t digits[24];
  wchar_t* p = digits + 24;
  do {
    *--p = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (n < 0) *--p = L'-';
  return std::wstring(p, digits + 24);
}

std::wstring WholeNumberText(float v) {
  if (std::isnan(v)) return L"0";
  constexpr long double limit = 9223372036854775808.0L;  // 2^63
  const long double whole = std::trunc(static_cast<long double>(v));
  if (whole >= limit) return NumberText(std::numeric_limits<long long>::max());
  if (whole < -limit) return NumberText(std::numeric_limits<long long>::min());
  return NumberText(static_cast<long long>(whole));
}
