// The main window and the speed box, for real and in-process.
#include <gtest/gtest.h>

#include <string>

#include "app/speed_prompt.h"
#include "../support/real_window.h"

namespace {

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(real_.window, nullptr);
    // The speed is asked before the window shows, proposing 250.
    ASSERT_EQ(real_.asked.size(), 1u);
    EXPECT_EQ(real_.asked[0].caption, L"Velocidad");
    EXPECT_EQ(real_.asked[0].text, L"250");
    EXPECT_TRUE(real_.hiddenWhileAsked);
    EXPECT_EQ(SpeedKmh, 120);
  }
  RealWindow real_;
  HWND window_ = real_.window;
  HWND map_ = real_.map;
};

TEST_F(MainWindowTest, FixedSizeWindowAtTheTopLeftWithMenuAndMap) {
  RECT outer{}, client{};
  GetWindowRect(window_, &outer);
  GetClientRect(window_, &client);
  const LONG style = GetWindowLongW(window_, GWL_STYLE);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_MINIMIZEBOX | WS_VISIBLE), WS_MINIMIZEBOX | WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  // The frame around 1268 x 989, measured before the menu bar took its
  // height from the client area.
  RECT frame{0, 0, 1268, 989};
  AdjustWindowRectEx(&frame, style, FALSE, GetWindowLongW(window_, GWL_EXSTYLE));
  OffsetRect(&frame, -frame.left, -frame.top);
  EXPECT_TRUE(EqualRect(&outer, &frame));
  EXPECT_EQ(client.right, 1268);
  EXPECT_LT(client.bottom, 989);
  wchar_t caption[64] = {};
  GetWindowTextW(window_, caption, 64);
  EXPECT_STREQ(caption, L"Quimbara");
  EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_SMALL, 0), 0);

  // The menu: "Autor" holding the credit, a separator and "Velocidad", all
  // plain (not grey, not checked, no mnemonic).
  HMENU bar = GetMenu(window_);
  HMENU popup = GetSubMenu(bar, 0);
  std::wstring items = MenuText(bar, 0) + L":";
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    const UINT state = GetMenuState(popup, i, MF_BYPOSITION);
    items += state & MF_SEPARATOR ? L" |" : L" " + std::to_wstring(GetMenuItemID(popup, i)) + L"/" + std::to_wstring(state) + L" " + MenuText(popup, i);
  }
  EXPECT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(items, L"Autor: 1001/0 Realizado por https://quimbara.example/ | 1002/0 Velocidad");
  wchar_t cls[32] = {};
  GetClassNameW(map_, cls, 32);
  EXPECT_STREQ(cls, L"Static");
  EXPECT_EQ(GetWindowLongW(map_, GWL_STYLE) & (SS_TYPEMASK | SS_NOTIFY), SS_OWNERDRAW | SS_NOTIFY);
  RECT r{};
  GetWindowRect(map_, &r);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
  const RECT expected{0, 0, 1267, 990};
  EXPECT_TRUE(EqualRect(&r, &expected));

  // The map at canvas size, and the control's picture a copy of it (what
  // the screen shows is checked end to end).
  Attach(MapBitmap);
  EXPECT_EQ(GetCanvasSize().cx, kCanvasWidth);
  EXPECT_EQ(GetCanvasSize().cy, kCanvasHeight);
  const COLORREF inMap = GetPixel(GetCanvasDC(), 600, 400);
  Attach(window_, ID_MAP);
  EXPECT_EQ(GetPixel(GetCanvasDC(), 600, 400), inMap);
  EXPECT_NE(inMap, RGB(255, 255, 255));
}

TEST_F(MainWindowTest, CommandsAndKeysThatLeaveTheWindowOpen) {
  BoxAnswerer answerer({L"90", std::nullopt, BoxReply::kOk});
  // The credit item, and the map's click notification with the same id, do nothing.
  SendMessageW(window_, WM_COMMAND, 1001, 0);
  SendMessageW(window_, WM_COMMAND, MAKEWPARAM(ID_MAP, STN_CLICKED), reinterpret_cast<LPARAM>(map_));
  EXPECT_TRUE(answerer.seen().empty());
  // The speed item asks again, proposing the current speed; Cancel is 0.
  // The box has no owner: the window stays usable meanwhile.
  bool windowUsable = true;
  answerer.Inspect([&](HWND box) { windowUsable &= !GetWindow(box, GW_OWNER) && IsWindowEnabled(window_); });
  for (int32_t speed : {90, 0, 0}) {
    SendMessageW(window_, WM_COMMAND, ID_SPEED, 0);
    EXPECT_EQ(SpeedKmh, speed);
  }
  EXPECT_TRUE(windowUsable);
  ASSERT_EQ(answerer.seen().size(), 3u);
  EXPECT_EQ(answerer.seen()[0].text, L"120");
  EXPECT_EQ(answerer.seen()[1].text, L"90");
  EXPECT_EQ(answerer.seen()[2].text, L"0");

  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    SetFocus(map_);
    PostMessageW(map_, WM_KEYDOWN, key, 0);
    PostMessageW(window_, WM_COMMAND, key == VK_RETURN ? IDOK : IDCANCEL, 0);
    Pump();
    EXPECT_TRUE(IsWindowVisible(window_)) << key;
  }
}

TEST_F(MainWindowTest, MapTakesFocusAndSwallowsKeysButNotAltF4) {
  SetFocus(nullptr);
  SendMessageW(map_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
  SendMessageW(map_, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
  EXPECT_EQ(GetFocus(), map_);
  EXPECT_EQ(SendMessageW(map_, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
  // F10 held by the map doesn't put the window into menu mode.
  SendMessageW(map_, WM_SYSKEYDOWN, VK_F10, 0);
  SendMessageW(map_, WM_SYSKEYUP, VK_F10, 0);
  Pump();
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetCurrentThreadId(), &info);
  EXPECT_FALSE(info.flags & GUI_INMENUMODE);
  SendMessageW(map_, WM_SYSKEYDOWN, VK_F4, 1 << 29);
  Pump();
  EXPECT_FALSE(IsWindow(window_));
}

TEST_F(MainWindowTest, FocusComesBackAfterAnotherWindowWasActive) {
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 1300, 100, 99, 99, nullptr,
                               nullptr, nullptr, nullptr);
  SetActiveWindow(window_);
  SetFocus(map_);
  Pump();
  SetActiveWindow(other);
  Pump();
  EXPECT_NE(GetFocus(), map_);
  SetActiveWindow(window_);
  Pump();
  EXPECT_EQ(GetFocus(), map_);
  EXPECT_EQ(SavedFocus, nullptr);
  DestroyWindow(other);
}

TEST(MainWindow, CloseEndsTheRunWithZeroAndLeavesNothingBehind) {
  const size_t targets = GetCanvasCounts().targets;
  {
    RealWindow real;
    ASSERT_NE(real.window, nullptr);
    EXPECT_EQ(MainDialogHandle, real.window);
    PostMessageW(real.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(RunModalLoop(real.window), 0);
    EXPECT_FALSE(IsWindow(real.window));
    // Nothing may reach the window through the old handle.
    EXPECT_EQ(MainDialogHandle, nullptr);
  }
  EXPECT_EQ(GetCanvasCounts().targets, targets);
}

std::wstring Digits(size_t count) {
  std::wstring s;
  for (size_t i = 0; i < count; ++i) s += static_cast<wchar_t>(L'0' + (i + 1) % 10);
  return s;
}

// Asks once with the given replies; expects every box to be the speed box
// proposing the same text.
int32_t Ask(std::vector<BoxReply> replies, size_t boxes, const wchar_t* proposed = L"250") {
  SpeedKmh = -1;
  BoxAnswerer answerer(std::move(replies));
  AskSpeed(proposed);
  EXPECT_EQ(answerer.seen().size(), boxes);
  for (const SeenBox& box : answerer.seen()) {
    EXPECT_EQ(box.caption, L"Velocidad");
    EXPECT_EQ(box.text, proposed);
  }
  return SpeedKmh;
}

TEST(SpeedPrompt, AnswersAcceptedAtOnce) {
  const struct {
    BoxReply reply;
    int32_t speed;
  } cases[] = {
      {BoxReply::kOk, 250}, {BoxReply::Type(L"90"), 90},  // typing replaces the selected proposal
      {L"0120", 120}, {L"2147483647", 2147483647}, {L"", 0}, {std::nullopt, 0},
      // Only the first 255 characters count: this one is 0.
      {BoxReply::Type(std::wstring(255, L'0') + L"120"), 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(testing::Message() << "case " << i);
    EXPECT_EQ(Ask({cases[i].reply}, 1), cases[i].speed);
  }
}

TEST(SpeedPrompt, OtherAnswersBringTheBoxBackWithTheSameProposal) {
  for (const std::wstring& answer : {std::wstring(L"+120"), std::wstring(L"-5"), std::wstring(L" 120"),
                                     std::wstring(L"2147483648"), std::wstring(L"\uFF11\uFF12\uFF10"), Digits(300)}) {
    SCOPED_TRACE(testing::Message() << answer.substr(0, 20));
    EXPECT_EQ(Ask({BoxReply::Type(answer), L"77"}, 2, L"120"), 77);
  }
  EXPECT_EQ(Ask({L"a", L"b", L"c", BoxReply::kOk}, 4, L"120"), 120);  // however often it takes
}

TEST(SpeedPrompt, BoxIsASmallCentredDialogWithTheProposalSelected) {
  BoxAnswerer answerer({BoxReply::kOk, BoxReply::kOk, BoxReply::Type(Digits(300))});
  answerer.Inspect([](HWND box) {
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    const LONG style = GetWindowLongW(box, GWL_STYLE);
    EXPECT_EQ(style & 0x80C80880, 0x80C80880);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_EQ(SendMessageW(box, WM_GETFONT, 0, 0), 0);  // the system font
    RECT units{0, 0, 150, 100}, client{}, outer{}, work{};
    MapDialogRect(box, &units);
    GetClientRect(box, &client);
    EXPECT_TRUE(EqualRect(&client, &units));
    GetWindowRect(box, &outer);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(outer.left + outer.right, work.left + work.right, 2);
    EXPECT_NEAR(outer.top + outer.bottom, work.top + work.bottom, 2);

    // The controls in creation and tab order: id, class, text, place in
    // dialog units, and the style bits each must have.
    const struct {
      int id;
      const wchar_t* what;
      RECT at;
      DWORD style;
    } controls[] = {
        {101, L"Edit 250", {4, 82, 144, 94}, 0x50010080},  // its border may become a sunken edge
        {IDOK, L"Button OK", {104, 5, 144, 15}, 0x50010001},
        {IDCANCEL, L"Button Cancel", {104, 19, 144, 29}, 0x50010000},
        {102, L"Static #", {5, 5, 100, 77}, 0x50000000},
    };
    HWND child = GetWindow(box, GW_CHILD);
    for (const auto& c : controls) {
      wchar_t cls[32] = {}, text[32] = {};
      GetClassNameW(child, cls, 32);
      GetWindowTextW(child, text, 32);
      RECT expected = c.at, actual{};
      MapDialogRect(box, &expected);
      GetWindowRect(child, &actual);
      MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&actual), 2);
      EXPECT_EQ(std::wstring(cls) + L" " + text, c.what);
      EXPECT_EQ(GetDlgCtrlID(child), c.id);
      EXPECT_EQ(GetWindowLongW(child, GWL_STYLE) & c.style, c.style) << c.id;
      EXPECT_TRUE(EqualRect(&actual, &expected)) << c.id;
      child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
    HWND edit = GetDlgItem(box, 101);
    EXPECT_EQ(LOWORD(SendMessageW(box, DM_GETDEFID, 0, 0)), IDOK);
    EXPECT_EQ(GetFocus(), edit);
    DWORD from = 1, to = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 3u);
  });
  AskSpeed(L"250");
  EXPECT_EQ(answerer.seen().size(), 1u);

  // Placed where it is told when both coordinates are given.
  RECT outer{};
  answerer.Inspect([&](HWND box) { GetWindowRect(box, &outer); });
  EXPECT_EQ(InputBox(L"Texto", L"Prueba", L"x", 100, 50), L"x");
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(InputBox(L"#", L"Velocidad", L"", -1, -1), Digits(255));  // the rest of a long answer is cut
}

}  // namespace
