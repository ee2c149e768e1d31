// The rules that need no window, so they also run natively under the sanitizers.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "app/speed_answer.h"
#include "measure/distance.h"
#include "measure/image_fit.h"

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST(Measure, LinesForEachCase) {
  const struct {
    MapPoint start, end;
    int32_t speed;
    const wchar_t *km, *time;  // the number in the first line; the whole second line
  } cases[] = {
      {{100, 100}, {400, 500}, 120, L"500", L"A 120 km/h = 4 horas y 10 minutos"},
      // The root is rounded half to even, never truncated.
      {{5, 5}, {6, 6}, 1, L"1", L"A 1 km/h = 1 horas y 0 minutos"},                 // 1.414
      {{3, 4}, {1, 1}, 4, L"4", L"A 4 km/h = 1 horas y 0 minutos"},                 // 3.606
      {{1, 1}, {1225, 1129}, 1664, L"1664", L"A 1664 km/h = 1 horas y 0 minutos"},  // 1664.49998
      {{1, 1}, {1266, 1195}, 1740, L"1740", L"A 1740 km/h = 1 horas y 0 minutos"},  // 1739.50003
      // The fraction of an hour goes through a float, and minutes are truncated.
      {{1, 1}, {18, 1}, 10, L"17", L"A 10 km/h = 1 horas y 41 minutos"},
      {{1, 1}, {1, 6}, 6, L"5", L"A 6 km/h = 0 horas y 49 minutos"},
      {{1, 1}, {851, 1}, 100, L"850", L"A 100 km/h = 8 horas y 30 minutos"},
      {{1, 1}, {1, 1235}, 250, L"1234", L"A 250 km/h = 4 horas y 56 minutos"},
      {{50, 60}, {50, 60}, 0, L"0", L"A 0 km/h = 0 horas y 0 minutos"},
      {{50, 60}, {51, 60}, 0, L"1", L"A 0 km/h no se llega nunca"},
      // Hours beyond 16 bits keep their value instead of the x87 -32768.
      {{1, 1}, {32769, 1}, 1, L"32768", L"A 1 km/h = 32768 horas y 0 minutos"},
      // A float fraction that rounds up to 1.0 must not read as 60 minutes.
      {{1, 1}, {100000001, 1}, 100000001, L"100000000", L"A 100000001 km/h = 0 horas y 59 minutos"},
      // Inputs no window produces: no UB, no negative distance, no "-0".
      {{kMin, kMin}, {kMax, kMax}, 1, L"2147483647", L"A 1 km/h = 2147483647 horas y 0 minutos"},
      {{0, 0}, {kMax, kMax}, kMax, L"2147483647", L"A 2147483647 km/h = 1 horas y 0 minutos"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "to (" << c.end.x << "," << c.end.y << ") at " << c.speed);
    const Measurement m = Measure(c.start, c.end, c.speed);
    EXPECT_EQ(DistanceLine(m), std::wstring(L"La distancia entre esos dos puntos es de ") + c.km + L" km.");
    EXPECT_EQ(TimeLine(m, c.speed), c.time);
  }
  // Column 0 or row 0 is no end point.
  EXPECT_TRUE(HasEndPoint({1, 1}));
  EXPECT_FALSE(HasEndPoint({0, 5}) || HasEndPoint({5, 0}));
}

TEST(SpeedAnswer, AcceptsOnlyPlainNumbersInRange) {
  constexpr int32_t kNo = -777;  // rejected: the speed is left as it was
  const std::pair<std::wstring, int32_t> cases[] = {
      {L"120", 120}, {L"0120", 120}, {L"", 0}, {L"0", 0}, {L"2147483647", kMax}, {L"0002147483647", kMax},
      {std::wstring(255, L'0'), 0}, {std::wstring(254, L'0') + L"1", 1}, {L"2147483648", kNo},
      {L"4294967416", kNo},  // 120 after a 32-bit wrap
      {std::wstring(255, L'9'), kNo}, {L"+120", kNo}, {L"-5", kNo}, {L"12.5", kNo}, {L"1e3", kNo},
      {L" 120", kNo}, {L"120 ", kNo}, {std::wstring(L"12\0" L"3", 4), kNo}, {L"\uFF11\uFF12\uFF10", kNo},
      {L"\u0661\u0662", kNo}, {L"12\u00B3", kNo}, {L"/", kNo}, {L":", kNo},
  };
  for (const auto& [answer, expected] : cases) {
    SCOPED_TRACE(testing::Message() << answer.size() << " chars: " << answer.substr(0, 20));
    int32_t speed = kNo;
    EXPECT_EQ(ParseSpeedAnswer(answer, speed), expected != kNo);
    EXPECT_EQ(speed, expected);
  }
}

TEST(ImageFit, SizeForEachCase) {
  const struct {
    uint32_t width, height;
    float imageWidth, imageHeight;
    bool exactSize;
    uint32_t fitWidth, fitHeight;
  } cases[] = {
      {1000, 1000, 1000, 2000, false, 500, 1000},
      {1267, 990, 10, 10, true, 1267, 990},
      {0, 300, 600, 600, false, 300, 300},  // a zero side takes the image's
      {0, 0, 2.5f, 3.5f, true, 2, 4},       // rounded half to even
      {4, 4, 8, 5, false, 4, 2},
      {4, 4, 8, 7, false, 4, 4},
      {1000, 1000, 10000, 1, false, 1000, 1},  // would be 0: kept at one pixel
      {0, 0, 0.25f, 0.25f, false, 1, 1},
  };
  for (const auto& c : cases) {
    const FitSize fit = FitImageBox(c.width, c.height, c.imageWidth, c.imageHeight, c.exactSize);
    EXPECT_EQ(std::pair(fit.width, fit.height), std::pair(c.fitWidth, c.fitHeight))
        << c.width << "x" << c.height << " for " << c.imageWidth << "x" << c.imageHeight;
  }
}

}  // namespace
