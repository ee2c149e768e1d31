#include "app/speed_answer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int32_t kUntouched = -777;

struct Case {
  std::wstring answer;
  bool accepted;
  int32_t speed;  // kUntouched when rejected
};

const Case kCases[] = {
    {L"120", true, 120},
    {L"0120", true, 120},
    {L"", true, 0},
    {L"0", true, 0},
    {L"2147483647", true, 2147483647},
    {L"0002147483647", true, 2147483647},
    {std::wstring(255, L'0'), true, 0},
    {std::wstring(254, L'0') + L"1", true, 1},
    {L"2147483648", false, kUntouched},
    {L"4294967416", false, kUntouched},  // 120 after 32-bit wrap-around
    {std::wstring(255, L'9'), false, kUntouched},
    {L"+120", false, kUntouched},
    {L"-5", false, kUntouched},
    {L"12.5", false, kUntouched},
    {L"1e3", false, kUntouched},
    {L" 120", false, kUntouched},
    {L"120 ", false, kUntouched},
    {L"1 20", false, kUntouched},
    {std::wstring(L"12\0" L"3", 4), false, kUntouched},
    {L"\uFF11\uFF12\uFF10", false, kUntouched},  // fullwidth digits
    {L"\u0661\u0662\u0660", false, kUntouched},  // Arabic-Indic digits
    {L"12\u00B3", false, kUntouched},            // superscript three
    {L"/", false, kUntouched},
    {L":", false, kUntouched},
};

TEST(SpeedAnswer, AcceptsOnlyPlainNumbersInRange) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.answer.size() << " chars: " << c.answer.substr(0, 20));
    int32_t speed = kUntouched;
    EXPECT_EQ(ParseSpeedAnswer(c.answer, speed), c.accepted);
    EXPECT_EQ(speed, c.speed);
  }
}

}  // namespace
