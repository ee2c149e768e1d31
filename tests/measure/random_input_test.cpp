// Seeded random inputs well beyond what the window can produce: nothing may
// crash or trip the sanitizers, and the texts must stay well formed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "app/speed_answer.h"
#include "measure/distance.h"
#include "measure/number_text.h"

namespace {

constexpr int kRuns = 200000;
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct Random {
  std::mt19937_64 engine{20240611};
  uint64_t Below(uint64_t n) { return engine() % n; }
  int32_t Any() { return static_cast<int32_t>(static_cast<uint32_t>(engine())); }
  int32_t Coordinate() {
    switch (Below(4)) {
      case 0: return Any();
      case 1: return Below(2) ? kMin : kMax;
      default: return static_cast<int32_t>(Below(65536));
    }
  }
  int32_t Speed() {
    const int32_t special[] = {0, 1, -1, kMin, kMax, kMax - 1, 32767, -32768};
    switch (Below(4)) {
      case 0: return special[Below(std::size(special))];
      case 1: return Any();
      default: return static_cast<int32_t>(Below(400));
    }
  }
};

bool HasBadWord(const std::wstring& text) {
  for (const wchar_t* bad : {L"inf", L"nan", L"INF", L"NAN", L"-0 ", L"e+"})
    if (text.find(bad) != std::wstring::npos) return true;
  return false;
}

TEST(RandomInput, MeasureTextsAreWellFormed) {
  Random rnd;
  for (int i = 0; i < kRuns; ++i) {
    const MapPoint a{rnd.Coordinate(), rnd.Coordinate()};
    const MapPoint b{rnd.Coordinate(), rnd.Coordinate()};
    const int32_t speed = rnd.Speed();
    const Measurement m = Measure(a, b, speed);
    const std::wstring line1 = DistanceLine(m);
    const std::wstring line2 = TimeLine(m, speed);
    SCOPED_TRACE(testing::Message() << "(" << a.x << "," << a.y << ")->(" << b.x << "," << b.y
                                    << ") at " << speed << ": " << line1 << " / " << line2);

    // The distance is the true one rounded, or saturated far off the map.
    const long double dx = std::fabs(static_cast<long double>(a.x) - b.x);
    const long double dy = std::fabs(static_cast<long double>(a.y) - b.y);
    const long double exact = std::sqrt(dx * dx + dy * dy);
    ASSERT_GE(m.km, 0);
    if (exact < kMax) {
      ASSERT_LE(std::fabs(m.km - exact), 0.5L);
    } else {
      ASSERT_EQ(m.km, kMax);
    }
    ASSERT_EQ(line1, L"La distancia entre esos dos puntos es de " + NumberText(m.km) + L" km.");

    const std::wstring head = L"A " + NumberText(speed) + L" km/h";
    if (speed == 0) {
      ASSERT_EQ(line2, head + (m.km > 0 ? L" no se llega nunca" : L" = 0 horas y 0 minutos"));
      continue;
    }
    // Hours are the exact truncation, whatever their size.
    const long double q = static_cast<long double>(m.km) / speed;
    const long long hours = static_cast<long long>(std::trunc(q));
    const std::wstring prefix = head + L" = " + NumberText(hours) + L" horas y ";
    const std::wstring suffix = L" minutos";
    ASSERT_EQ(line2.compare(0, prefix.size(), prefix), 0);
    ASSERT_GT(line2.size(), prefix.size() + suffix.size());
    ASSERT_EQ(line2.compare(line2.size() - suffix.size(), suffix.size(), suffix), 0);
    const std::wstring minutesText =
        line2.substr(prefix.size(), line2.size() - prefix.size() - suffix.size());
    const long long minutes = std::stoll(minutesText);
    ASSERT_EQ(minutesText, NumberText(minutes));  // no "-0", no blanks, no leading zeros
    if (speed > 0) {
      ASSERT_EQ(line2.find(L'-'), std::wstring::npos);  // never the x87 -32768
      ASSERT_GE(minutes, 0);
      ASSERT_LE(minutes, 59);
    } else {
      ASSERT_LE(minutes, 0);
      ASSERT_GE(minutes, -59);
    }
    // The float step may lose at most the last minute, never gain one.
    const long double total = 60.0L * std::fabs(q);
    const long double shown = std::fabs(static_cast<long double>(hours * 60 + minutes));
    ASSERT_LE(shown, total + 1e-6L);
    ASSERT_GT(shown, total - 1.0L - 1e-6L);
    ASSERT_FALSE(HasBadWord(line1) || HasBadWord(line2));
  }
}

TEST(RandomInput, NumberTextMatchesStandardFormatting) {
  Random rnd;
  for (long long n : {0LL, -1LL, std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max()})
    ASSERT_EQ(NumberText(n), std::to_wstring(n));
  for (int i = 0; i < kRuns; ++i) {
    const long long n = static_cast<long long>(rnd.engine()) >> rnd.Below(64);
    ASSERT_EQ(NumberText(n), std::to_wstring(n));
  }
  ASSERT_EQ(WholeNumberText(-0.0f), L"0");
  ASSERT_EQ(WholeNumberText(30.0f), L"30");
  ASSERT_EQ(WholeNumberText(-41.0f), L"-41");
}

TEST(RandomInput, SpeedAnswersAcceptExactlyPlainNumbersInRange) {
  Random rnd;
  const wchar_t alphabet[] = {L'0', L'1', L'2', L'9', L'+', L'-', L' ', L'.', L'e', L'\t',
                              L'\0', L'\u00F1', L'\uFF11', L'\u0661', L'\u00B2', L'\uFFFF'};
  for (int i = 0; i < kRuns; ++i) {
    std::wstring answer;
    const uint64_t length = rnd.Below(4) == 0 ? rnd.Below(301) : rnd.Below(13);
    const bool digitsOnly = rnd.Below(2) == 0;
    for (uint64_t k = 0; k < length; ++k) {
      if (digitsOnly || rnd.Below(8) != 0)
        answer += static_cast<wchar_t>(L'0' + rnd.Below(10));
      else
        answer += alphabet[rnd.Below(std::size(alphabet))];
    }
    if (digitsOnly && rnd.Below(3) == 0) answer.insert(0, rnd.Below(250), L'0');

    // The reference: ASCII digits only, at most 10 significant ones, <= INT32_MAX.
    bool plain = true;
    for (wchar_t c : answer) plain = plain && c >= L'0' && c <= L'9';
    const size_t firstSignificant = std::min(answer.find_first_not_of(L'0'), answer.size());
    const std::wstring significant = answer.substr(firstSignificant);
    const bool expected = plain && (significant.size() < 10 ||
                                    (significant.size() == 10 && significant <= L"2147483647"));

    SCOPED_TRACE(testing::Message() << answer.size() << " chars: " << answer.substr(0, 40));
    int32_t speed = -5;
    ASSERT_EQ(ParseSpeedAnswer(answer, speed), expected);
    if (expected) {
      ASSERT_GE(speed, 0);
      ASSERT_EQ(NumberText(speed), significant.empty() ? L"0" : significant);
    } else {
      ASSERT_EQ(speed, -5);
    }
  }
}

}  // namespace
