// The speed question, answered in-process as a person at the screen would.
#include "app/speed_prompt.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/state.h"
#include "../support/box_answerer.h"

namespace {

constexpr int32_t kUnset = -1;

// Each box of one question is the speed box offering the same text.
void ExpectAsked(const BoxAnswerer& answerer, size_t times, const std::wstring& proposed) {
  ASSERT_EQ(answerer.seen().size(), times);
  for (const SeenBox& box : answerer.seen()) {
    EXPECT_EQ(box.caption, L"Velocidad");
    EXPECT_EQ(box.text, proposed);
  }
}

std::wstring Digits(size_t count) {
  std::wstring s;
  for (size_t i = 0; i < count; ++i) s += static_cast<wchar_t>(L'0' + (i + 1) % 10);
  return s;
}

TEST(SpeedPrompt, AcceptedAnswersSetTheSpeedAtTheFirstAsking) {
  const struct {
    BoxReply reply;
    int32_t speed;
  } cases[] = {
      {BoxReply::Ok(), 250},  // the proposal as it stands
      {BoxReply::TypeThenEnter(L"90"), 90},  // typing replaces the selected proposal
      {L"0120", 120},
      {L"2147483647", 2147483647},
      {L"", 0},
      {std::nullopt, 0},  // Cancel
      {BoxReply::Escape(), 0},
      {BoxReply::CloseBox(), 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    SpeedKmh = kUnset;
    BoxAnswerer answerer({cases[i].reply});
    AskSpeed(L"250");
    ExpectAsked(answerer, 1, L"250");
    EXPECT_EQ(SpeedKmh, cases[i].speed);
  }
}

TEST(SpeedPrompt, OtherAnswersBringTheBoxBackWithTheSameProposal) {
  const std::wstring rejected[] = {
      L"+120", L"-5", L"12.5", L"1e3", L" 120", L"120 ", L"2147483648",
      L"\uFF11\uFF12\uFF10",  // fullwidth digits, which the ANSI code page would make "120"
      Digits(300),            // cut to 255 digits: far too large
  };
  for (const std::wstring& answer : rejected) {
    SCOPED_TRACE(testing::Message() << answer.substr(0, 20));
    SpeedKmh = kUnset;
    BoxAnswerer answerer({BoxReply::TypeThenEnter(answer), L"77"});
    AskSpeed(L"120");
    ExpectAsked(answerer, 2, L"120");
    EXPECT_EQ(SpeedKmh, 77);
  }

  // However often it takes.
  SpeedKmh = kUnset;
  BoxAnswerer answerer({L"a", L"b", L"c", BoxReply::Ok()});
  AskSpeed(L"120");
  ExpectAsked(answerer, 4, L"120");
  EXPECT_EQ(SpeedKmh, 120);
}

TEST(SpeedPrompt, OnlyTheFirst255CharactersOfAnAnswerCount) {
  {
    BoxAnswerer answerer({BoxReply::TypeThenEnter(Digits(300))});
    EXPECT_EQ(InputBox(L"#", L"Velocidad", L"", -1, -1), Digits(255));
    EXPECT_EQ(answerer.seen().size(), 1u);
  }
  {
    // The whole text is 120, its first 255 characters are 0.
    SpeedKmh = kUnset;
    BoxAnswerer answerer({BoxReply::TypeThenEnter(std::wstring(255, L'0') + L"120")});
    AskSpeed(L"250");
    ExpectAsked(answerer, 1, L"250");
    EXPECT_EQ(SpeedKmh, 0);
  }
}

TEST(SpeedPrompt, BoxIsASmallCentredDialogWithTheProposalSelected) {
  BoxAnswerer answerer({BoxReply::Ok()});
  answerer.Inspect([](HWND box) {
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    const LONG style = GetWindowLongW(box, GWL_STYLE);
    EXPECT_EQ(style & 0x80C80880, 0x80C80880);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_EQ(SendMessageW(box, WM_GETFONT, 0, 0), 0);  // the system font

    // Client area of 150 x 100 dialog units.
    RECT units{0, 0, 150, 100}, client{};
    MapDialogRect(box, &units);
    GetClientRect(box, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);

    // Centred on the screen.
    RECT outer{}, work{};
    GetWindowRect(box, &outer);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(outer.left + outer.right, work.left + work.right, 2);
    EXPECT_NEAR(outer.top + outer.bottom, work.top + work.bottom, 2);

    // The controls in creation (and tab) order.
    const struct {
      int id;
      const wchar_t* cls;
      RECT at;  // left, top, right, bottom in dialog units
      DWORD style;
      const wchar_t* text;
    } controls[] = {
        {101, L"Edit", {4, 82, 144, 94}, 0x50810080, L"250"},
        {IDOK, L"Button", {104, 5, 144, 15}, 0x50010001, L"OK"},
        {IDCANCEL, L"Button", {104, 19, 144, 29}, 0x50010000, L"Cancel"},
        {102, L"Static", {5, 5, 100, 77}, 0x50000000, L"#"},
    };
    HWND child = GetWindow(box, GW_CHILD);
    for (const auto& c : controls) {
      SCOPED_TRACE(testing::Message() << c.id);
      ASSERT_NE(child, nullptr);
      EXPECT_EQ(GetDlgCtrlID(child), c.id);
      wchar_t cls[32] = {}, text[32] = {};
      GetClassNameW(child, cls, 32);
      GetWindowTextW(child, text, 32);
      EXPECT_STREQ(cls, c.cls);
      EXPECT_STREQ(text, c.text);
      // The dialog manager may trade an edit's WS_BORDER for a sunken edge.
      const LONG style = GetWindowLongW(child, GWL_STYLE);
      EXPECT_EQ(style & c.style & ~WS_BORDER, c.style & ~WS_BORDER);
      if (c.style & WS_BORDER) {
        EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
      }
      RECT expected = c.at, actual{};
      MapDialogRect(box, &expected);
      GetWindowRect(child, &actual);
      MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&actual), 2);
      EXPECT_TRUE(EqualRect(&actual, &expected));
      child = GetWindow(child, GW_HWNDNEXT);
    }
    HWND edit = GetDlgItem(box, 101);
    EXPECT_EQ(GetNextDlgTabItem(box, edit, FALSE), GetDlgItem(box, IDOK));
    EXPECT_EQ(GetNextDlgTabItem(box, GetDlgItem(box, IDOK), FALSE), GetDlgItem(box, IDCANCEL));
    EXPECT_EQ(GetNextDlgTabItem(box, GetDlgItem(box, IDCANCEL), FALSE), edit);
    EXPECT_EQ(LOWORD(SendMessageW(box, DM_GETDEFID, 0, 0)), IDOK);

    EXPECT_EQ(GetFocus(), edit);
    DWORD from = 1, to = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 3u);
  });
  AskSpeed(L"250");
  EXPECT_EQ(answerer.seen().size(), 1u);
}

TEST(SpeedPrompt, BoxGoesWhereItIsToldWhenBothCoordinatesAreGiven) {
  RECT outer{};
  BoxAnswerer answerer({BoxReply::Ok()});
  answerer.Inspect([&](HWND box) { GetWindowRect(box, &outer); });
  EXPECT_EQ(InputBox(L"Texto", L"Prueba", L"x", 100, 50), L"x");
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(answerer.seen().size(), 1u);
}

}  // namespace
