// The main window and the speed box, for real and in-process.
#include <gtest/gtest.h>

#include <string>

#include "app/speed_prompt.h"
#include "canvas/owned.h"
#include "../support/real_window.h"

namespace {

// Where a window sits in its parent's client area, or on the screen.
RECT Place(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// "WxH" of an icon's colour image; "0x0" for no icon.
std::string IconSize(LRESULT icon) {
  ICONINFO info{};
  BITMAP image{};
  if (icon && GetIconInfo(reinterpret_cast<HICON>(icon), &info))
    GetObjectW(info.hbmColor, sizeof image, &image);
  for (HBITMAP b : {info.hbmColor, info.hbmMask}) DeleteObject(b);
  return std::to_string(image.bmWidth) + "x" + std::to_string(image.bmHeight);
}

class MainWindowTest : public ::testing::Test, protected RealWindow {};

TEST_F(MainWindowTest, ShowsOnceAskedAtAFixedSizeWithItsMenuIconsAndMap) {
  EXPECT_EQ(asked, std::vector<std::wstring>{L"250"});
  EXPECT_TRUE(hiddenWhileAsked);
  EXPECT_TRUE(IsWindowVisible(window));
  const LONG style = GetWindowLongW(window, GWL_STYLE), exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  // At the top left, a fixed frame around a 1268 x 989 client before the menu bar took its share.
  RECT outer{}, frame{0, 0, 1268, 989};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  OffsetRect(&frame, -frame.left, -frame.top);
  GetWindowRect(window, &outer);
  EXPECT_TRUE(EqualRect(&outer, &frame));
  EXPECT_EQ(WindowText(window), L"Quimbara");
  // One menu, its items plain: not grey, not checked, no mnemonic.
  HMENU bar = GetMenu(window), popup = GetSubMenu(bar, 0);
  wchar_t text[128] = {};
  GetMenuStringW(bar, 0, text, 128, MF_BYPOSITION);
  std::wstring items = std::to_wstring(GetMenuItemCount(bar)) + L" " + text + L":";
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    const UINT state = GetMenuState(popup, i, MF_BYPOSITION);
    GetMenuStringW(popup, i, text, 128, MF_BYPOSITION);
    items += state & MF_SEPARATOR ? L" |" : L" " + std::to_wstring(GetMenuItemID(popup, i)) + L"/" +
                                              std::to_wstring(state) + L" " + text;
  }
  EXPECT_EQ(items, L"1 Autor: 1001/0 Realizado por https://quimbara.example/ | 1002/0 Velocidad");
  // The map control fills the client and shows the loaded map from the start.
  const RECT mapPlace = Place(map), expected{0, 0, 1267, 990};
  EXPECT_TRUE(EqualRect(&mapPlace, &expected));
  Attach(MapBitmap);
  const COLORREF inMap = GetPixel(GetCanvasDC(), 600, 400);
  EXPECT_EQ(GetPixel(WindowDC(map).get(), 600, 400), inMap);
  EXPECT_NE(inMap, kWhite);
  // Each icon its own image of the group, not one shrunk for the other.
  EXPECT_EQ(IconSize(SendMessageW(window, WM_GETICON, ICON_BIG, 0)) + " " +
                IconSize(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)), "32x32 16x16");
}

// Alt+F4, which ends the program with 0, is pressed for real by every end-to-end case.
TEST_F(MainWindowTest, CommandsKeysAndAQuitLeaveTheWindowOpen) {
  // The credit item (the map's id too) does nothing; the speed item asks again, proposing the
  // current speed (Cancel is 0), with the window still usable.
  BoxAnswerer answerer({L"90", std::nullopt, L""});
  bool usable = true;
  answerer.inspect = [&](HWND) { usable &= IsWindowEnabled(window) != FALSE; };
  SendMessageW(window, WM_COMMAND, ID_CREDIT, 0);
  for (int i = 0; i < 3; ++i) SendMessageW(window, WM_COMMAND, ID_SPEED, 0);
  EXPECT_TRUE(usable);
  EXPECT_EQ(answerer.seen, (std::vector<std::wstring>{L"120", L"90", L"0"}));
  // Neither Enter nor Escape closes the window; a quit ends the run and is kept for the loop outside.
  for (WPARAM id : {IDOK, IDCANCEL}) PostMessageW(window, WM_COMMAND, id, 0);
  Pump();
  PostQuitMessage(7);
  EXPECT_EQ(RunModalLoop(window), 0);
  MSG quit{};
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 7);
  EXPECT_TRUE(IsWindowVisible(window));
  // A click gives the map the focus, and it takes every key but Alt+F4: F10 opens no menu.
  SetFocus(nullptr);
  Send(map, WM_LBUTTONDOWN, 100, 100);
  Send(map, WM_LBUTTONUP, 100, 100);
  EXPECT_EQ(GetFocus(), map);
  EXPECT_EQ(SendMessageW(map, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
  SendMessageW(map, WM_SYSKEYDOWN, VK_F10, 0);
  SendMessageW(map, WM_SYSKEYUP, VK_F10, 0);
  Pump();
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetCurrentThreadId(), &info);
  EXPECT_FALSE(info.flags & GUI_INMENUMODE);
  // The focus the window had when it went inactive comes back with it.
  SendMessageW(window, WM_NCACTIVATE, FALSE, 0);
  SetFocus(nullptr);
  SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(GetFocus(), map);
}

// The speed box, centred, in the system font, its controls in creation and tab order. Where each
// sits is the dialog template's numbers, which the test would only repeat.
void ExpectSpeedBoxLayout(HWND box) {
  EXPECT_EQ(WindowText(box) + L" " + std::to_wstring(SendMessageW(box, WM_GETFONT, 0, 0)), L"Velocidad 0");
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT outer = Place(box);
  EXPECT_NEAR(outer.left + outer.right, work.left + work.right, 2);
  EXPECT_NEAR(outer.top + outer.bottom, work.top + work.bottom, 2);
  std::wstring controls;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    controls += std::to_wstring(GetDlgCtrlID(child)) + L" " + cls + L" " + WindowText(child) + L"|";
  }
  EXPECT_EQ(controls, L"101 Edit 250|1 Button OK|2 Button Cancel|102 Static #|");
}

// Each box must be the same speed box proposing 250, however often it comes back.
TEST(SpeedPrompt, AnswersTakenOrAskedAgain) {
  const std::pair<std::vector<BoxReply>, int32_t> cases[] = {
      {{L""}, 250}, {{L"90"}, 90}, {{L"\b"}, 0}, {{std::nullopt}, 0},
      {{std::wstring(254, L'0') + L"12"}, 1},  // only the first 255 characters count
      {{L"-5", L"2147483648", L" 120", L"77"}, 77},
  };
  for (const auto& [replies, speed] : cases) {
    SpeedKmh = -1;
    BoxAnswerer answerer(replies);
    answerer.inspect = ExpectSpeedBoxLayout;
    AskSpeed(L"250");
    EXPECT_EQ(SpeedKmh, speed);
    EXPECT_EQ(answerer.seen.size(), replies.size());
  }
}

}  // namespace
