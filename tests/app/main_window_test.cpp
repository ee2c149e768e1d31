// The real main window, created in-process on the test's screen.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <string>

#include "app/state.h"
#include "canvas/canvas.h"
#include "measure/map_loader.h"
#include "../support/box_answerer.h"
#include "../support/gdiplus_environment.h"

namespace {

void Pump() {
  MSG msg;
  for (int i = 0; i < 3; ++i) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!MainDialogHandle || !IsDialogMessageW(MainDialogHandle, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    Sleep(10);
  }
}

std::wstring MenuText(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Without its map the program ends on the spot, and so would this test.
    ASSERT_TRUE(FileExists(MapFilePath())) << "no map beside the test program";
    before_ = GetCanvasCounts();
    window_ = CreateMainDialog(nullptr);
    ASSERT_NE(window_, nullptr);

    // The speed is asked before the window shows.
    BoxAnswerer answerer({L"120"});
    bool windowHidden = false;
    answerer.Inspect([&](HWND) { windowHidden = !IsWindowVisible(window_); });
    SpeedKmh = 0;
    BeginModalRun(window_);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].caption, L"Velocidad");
    EXPECT_EQ(answerer.seen()[0].text, L"250");
    EXPECT_TRUE(windowHidden);
    EXPECT_EQ(SpeedKmh, 120);

    map_ = GetDlgItem(window_, ID_MAP);
    Pump();
  }
  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    Pump();
    for (HBITMAP* b : {&CanvasBitmap, &MapBitmap}) {
      Attach(*b);
      EndBitmap();
      *b = nullptr;
    }
    // Nothing the window made stays behind in the canvas.
    EXPECT_EQ(GetCanvasCounts().targets, before_.targets);
  }
  CanvasCounts before_{};
  HWND window_ = nullptr;
  HWND map_ = nullptr;
};

TEST_F(MainWindowTest, FixedSizeWindowAtTheTopLeftWithCaption) {
  RECT outer{};
  GetWindowRect(window_, &outer);
  EXPECT_EQ(outer.left, 0);
  EXPECT_EQ(outer.top, 0);

  LONG style = GetWindowLongW(window_, GWL_STYLE);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongW(window_, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

  // The outer size is the frame around 1268 x 989, measured before the menu
  // was attached: the menu bar then takes its height from the client area.
  RECT frame{0, 0, 1268, 989};
  AdjustWindowRectEx(&frame, style, FALSE, GetWindowLongW(window_, GWL_EXSTYLE));
  EXPECT_EQ(outer.right - outer.left, frame.right - frame.left);
  EXPECT_EQ(outer.bottom - outer.top, frame.bottom - frame.top);
  RECT client{};
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right, 1268);
  EXPECT_LT(client.bottom, 989);

  wchar_t caption[64] = {};
  GetWindowTextW(window_, caption, 64);
  EXPECT_STREQ(caption, L"Quimbara");
  EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(MainWindowTest, MenuHasCreditSeparatorAndSpeed) {
  HMENU bar = GetMenu(window_);
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(MenuText(bar, 0), L"Autor");
  HMENU popup = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(popup), 3);
  EXPECT_EQ(MenuText(popup, 0).rfind(L"Realizado por ", 0), 0u);
  EXPECT_GT(MenuText(popup, 0).size(), 14u);
  EXPECT_EQ(GetMenuItemID(popup, 0), 1001u);
  EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(GetMenuItemID(popup, 1), 0u);
  EXPECT_EQ(MenuText(popup, 2), L"Velocidad");
  EXPECT_EQ(GetMenuItemID(popup, 2), 1002u);
  for (UINT i : {0u, 2u}) {
    UINT state = GetMenuState(popup, i, MF_BYPOSITION);
    EXPECT_FALSE(state & (MF_GRAYED | MF_DISABLED | MF_CHECKED)) << i;
    EXPECT_EQ(MenuText(popup, i).find(L'&'), std::wstring::npos) << i;
  }
  // The credit item, and the map's click notification with the same id, do nothing.
  BoxAnswerer answerer;
  SendMessageW(window_, WM_COMMAND, 1001, 0);
  SendMessageW(window_, WM_COMMAND, MAKEWPARAM(ID_MAP, STN_CLICKED),
               reinterpret_cast<LPARAM>(map_));
  Pump();
  EXPECT_TRUE(IsWindow(window_));
  EXPECT_TRUE(answerer.seen().empty());
}

TEST_F(MainWindowTest, SpeedItemAsksAgainProposingTheCurrentSpeed) {
  BoxAnswerer answerer({L"90", std::nullopt, BoxReply::Ok()});
  SendMessageW(window_, WM_COMMAND, ID_SPEED, 0);
  EXPECT_EQ(SpeedKmh, 90);
  SendMessageW(window_, WM_COMMAND, ID_SPEED, 0);  // cancelled
  EXPECT_EQ(SpeedKmh, 0);
  SendMessageW(window_, WM_COMMAND, ID_SPEED, 0);
  EXPECT_EQ(SpeedKmh, 0);
  ASSERT_EQ(answerer.seen().size(), 3u);
  EXPECT_EQ(answerer.seen()[0].text, L"120");
  EXPECT_EQ(answerer.seen()[1].text, L"90");
  EXPECT_EQ(answerer.seen()[2].text, L"0");
  EXPECT_TRUE(IsWindowVisible(window_));
}

TEST_F(MainWindowTest, MapControlIsAnOwnerDrawnStaticShowingTheMap) {
  ASSERT_NE(map_, nullptr);
  wchar_t cls[32] = {};
  GetClassNameW(map_, cls, 32);
  EXPECT_STREQ(cls, L"Static");
  LONG style = GetWindowLongW(map_, GWL_STYLE);
  EXPECT_EQ(style & SS_TYPEMASK, SS_OWNERDRAW);
  EXPECT_TRUE(style & SS_NOTIFY);
  RECT r{};
  GetWindowRect(map_, &r);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right - r.left, 1267);
  EXPECT_EQ(r.bottom - r.top, 990);

  // The map at canvas size, and the control's picture and what the screen
  // shows of it are that map.
  ASSERT_NE(MapBitmap, nullptr);
  Attach(MapBitmap);
  EXPECT_EQ(GetCanvasSize().cx, kCanvasWidth);
  EXPECT_EQ(GetCanvasSize().cy, kCanvasHeight);
  HDC mapDc = GetCanvasDC();
  Attach(window_, ID_MAP);
  HDC shownDc = GetCanvasDC();
  HDC screenDc = GetDC(map_);
  int notWhite = 0;
  for (POINT p : {POINT{0, 0}, POINT{300, 300}, POINT{600, 400}, POINT{900, 600},
                  POINT{1266, 900}, POINT{1266, 989}}) {
    const COLORREF map = GetPixel(mapDc, p.x, p.y);
    notWhite += map != RGB(255, 255, 255);
    EXPECT_EQ(GetPixel(shownDc, p.x, p.y), map) << p.x << "," << p.y;
    if (p.y < 900) {
      EXPECT_EQ(GetPixel(screenDc, p.x, p.y), map) << p.x << "," << p.y;
    }
  }
  ReleaseDC(map_, screenDc);
  EXPECT_GE(notWhite, 4);
}

TEST_F(MainWindowTest, EnterAndEscapeLeaveTheWindowOpen) {
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    SetFocus(map_);
    PostMessageW(map_, WM_KEYDOWN, key, 0);
    PostMessageW(window_, WM_COMMAND, key == VK_RETURN ? IDOK : IDCANCEL, 0);
    Pump();
    EXPECT_TRUE(IsWindow(window_)) << key;
  }
}

TEST_F(MainWindowTest, MapControlTakesFocusAndSwallowsKeysButNotAltF4) {
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
  EXPECT_TRUE(IsWindow(window_));

  // Alt+F4 on the map still closes the window.
  SendMessageW(map_, WM_SYSKEYDOWN, VK_F4, 1 << 29);
  Pump();
  EXPECT_FALSE(IsWindow(window_));
}

TEST_F(MainWindowTest, SystemCloseEndsTheModalRunWithZero) {
  PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(RunModalLoop(window_), 0);
  EXPECT_FALSE(IsWindow(window_));
}

TEST_F(MainWindowTest, FocusComesBackAfterAnotherWindowWasActive) {
  HWND other = CreateWindowExW(0, L"STATIC", L"otra", WS_POPUP | WS_VISIBLE, 1300, 100, 100, 100,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
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

}  // namespace
