#include "measure/distance.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

struct Case {
  MapPoint start, end;
  int32_t speed;
  const wchar_t* km;    // the number in the first line
  const wchar_t* time;  // the whole second line
  bool hasEnd;
};

const Case kCases[] = {
    {{100, 100}, {400, 500}, 120, L"500", L"A 120 km/h = 4 horas y 10 minutos", true},
    {{10, 10}, {11, 12}, 250, L"2", L"A 250 km/h = 0 horas y 0 minutos", true},
    // Root rounded half to even, never truncated; order of the points is irrelevant.
    {{5, 5}, {6, 6}, 1, L"1", L"A 1 km/h = 1 horas y 0 minutos", true},           // 1.414
    {{3, 4}, {1, 1}, 4, L"4", L"A 4 km/h = 1 horas y 0 minutos", true},           // 3.606
    {{20, 20}, {26, 26}, 8, L"8", L"A 8 km/h = 1 horas y 0 minutos", true},       // 8.4853
    {{20, 20}, {12, 23}, 9, L"9", L"A 9 km/h = 1 horas y 0 minutos", true},       // 8.5440
    {{1, 1}, {1225, 1129}, 1664, L"1664", L"A 1664 km/h = 1 horas y 0 minutos", true},  // 1664.49998
    {{1, 1}, {1266, 1195}, 1740, L"1740", L"A 1740 km/h = 1 horas y 0 minutos", true},  // 1739.50003
    // The fraction of an hour goes through a float before becoming minutes.
    {{1, 1}, {18, 1}, 10, L"17", L"A 10 km/h = 1 horas y 41 minutos", true},
    {{1, 1}, {1, 6}, 6, L"5", L"A 6 km/h = 0 horas y 49 minutos", true},
    {{1, 1}, {851, 1}, 100, L"850", L"A 100 km/h = 8 horas y 30 minutos", true},
    {{1, 1}, {1, 1235}, 250, L"1234", L"A 250 km/h = 4 horas y 56 minutos", true},
    {{50, 60}, {50, 60}, 80, L"0", L"A 80 km/h = 0 horas y 0 minutos", true},
    {{50, 60}, {50, 60}, 0, L"0", L"A 0 km/h = 0 horas y 0 minutos", true},
    {{50, 60}, {51, 60}, 0, L"1", L"A 0 km/h no se llega nunca", true},
    {{0, 0}, {1266, 989}, 1, L"1607", L"A 1 km/h = 1607 horas y 0 minutos", true},
    // Hours beyond 16 bits keep their value instead of the x87 -32768.
    {{1, 1}, {32769, 1}, 1, L"32768", L"A 1 km/h = 32768 horas y 0 minutos", true},
    {{0, 0}, {65535, 65535}, 1, L"92680", L"A 1 km/h = 92680 horas y 0 minutos", true},
    // A float fraction that rounds up to 1.0 must not read as 60 minutes.
    {{1, 1}, {100000001, 1}, 100000001, L"100000000",
     L"A 100000001 km/h = 0 horas y 59 minutos", true},
    // Inputs no window produces: no UB, no negative distance, no "-0".
    {{kMin, kMin}, {kMax, kMax}, 1, L"2147483647", L"A 1 km/h = 2147483647 horas y 0 minutos", true},
    {{1, 1}, {18, 1}, -10, L"17", L"A -10 km/h = -1 horas y -41 minutos", true},
    {{1, 1}, {2, 1}, kMin, L"1", L"A -2147483648 km/h = 0 horas y 0 minutos", true},
    // Column 0 or row 0 is not an end point.
    {{10, 5}, {0, 5}, 10, L"10", L"A 10 km/h = 1 horas y 0 minutos", false},
    {{5, 10}, {5, 0}, 10, L"10", L"A 10 km/h = 1 horas y 0 minutos", false},
    {{5, 5}, {-3, 9}, 8, L"9", L"A 8 km/h = 1 horas y 7 minutos", false},
};

TEST(Distance, LinesForEachCase) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << "(" << c.start.x << "," << c.start.y << ")->(" << c.end.x
                                    << "," << c.end.y << ") at " << c.speed);
    const Measurement m = Measure(c.start, c.end, c.speed);
    EXPECT_EQ(DistanceLine(m), std::wstring(L"La distancia entre esos dos puntos es de ") + c.km + L" km.");
    EXPECT_EQ(TimeLine(m, c.speed), c.time);
    EXPECT_EQ(HasEndPoint(c.end), c.hasEnd);
  }
}

}  // namespace
