// Drags on the real map control, in-process, checked on the canvas and on
// what the control shows.
#include "measure/point_picking.h"

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/state.h"
#include "canvas/canvas.h"
#include "../support/box_answerer.h"
#include "../support/gdiplus_environment.h"

namespace {

constexpr COLORREF kMapColour = RGB(0xCC, 0xDD, 0xEE);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

class PickingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BoxAnswerer answerer({L"120"});
    window_ = CreateMainDialog(nullptr);
    ASSERT_NE(window_, nullptr);
    BeginModalRun(window_);
    ASSERT_EQ(answerer.seen().size(), 1u);  // only the speed box, no read error
    EXPECT_EQ(SpeedKmh, 120);
    map_ = GetDlgItem(window_, ID_MAP);
    // A plain map, so that anything drawn over it stands out.
    Attach(MapBitmap);
    EndBitmap();
    MapBitmap = NewBitmap(kCanvasWidth, kCanvasHeight);
    Attach(MapBitmap);
    Clear(kMapColour);
    StartPoint = EndPoint = MapPoint{0, 0};
    Dragging = 0;
    Attach(CanvasBitmap);
    SetWidth(0);
  }
  void TearDown() override {
    DestroyWindow(window_);
    for (HBITMAP* b : {&CanvasBitmap, &MapBitmap}) {
      Attach(*b);
      EndBitmap();
      *b = nullptr;
    }
  }

  void Send(UINT message, int x, int y) {
    SendMessageW(map_, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
  }
  void Press(int x, int y) { Send(WM_LBUTTONDOWN, x, y); }
  void Move(int x, int y) { Send(WM_MOUSEMOVE, x, y); }
  void Release(int x, int y) { Send(WM_LBUTTONUP, x, y); }
  void Drag(int x1, int y1, int x2, int y2) {
    Press(x1, y1);
    Move((x1 + x2) / 2, (y1 + y2) / 2);
    Move(x2, y2);
    Release(x2, y2);
  }

  // What the map control's picture holds.
  COLORREF Shown(int x, int y) {
    Attach(window_, ID_MAP);
    return GetPixel(GetCanvasDC(), x, y);
  }
  int CountShown(int left, int top, int right, int bottom, COLORREF c) {
    Attach(window_, ID_MAP);
    HDC dc = GetCanvasDC();
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += GetPixel(dc, x, y) == c;
    return n;
  }
  bool PanelShown() { return Shown(170, 0) == kBlack && Shown(335, 65) == kWhite; }
  void ExpectBareMap() {
    EXPECT_EQ(CountShown(0, 0, 345, 75, kMapColour), 345 * 75);
    EXPECT_EQ(CountShown(0, 0, kCanvasWidth, kCanvasHeight, kRed), 0);
  }

  HWND window_ = nullptr;
  HWND map_ = nullptr;
};

TEST_F(PickingTest, DragShowsThePanelAndTakesTheLineAway) {
  Press(100, 100);
  Move(250, 300);
  EXPECT_EQ(Shown(175, 200), kRed);
  Move(400, 500);
  Release(700, 700);  // the release's own position doesn't count

  EXPECT_EQ(Dragging, 0);
  EXPECT_EQ(StartPoint.x, 100);
  EXPECT_EQ(StartPoint.y, 100);
  EXPECT_EQ(EndPoint.x, 400);
  EXPECT_EQ(EndPoint.y, 500);
  EXPECT_TRUE(PanelShown());
  EXPECT_EQ(CountShown(0, 75, kCanvasWidth, kCanvasHeight, kRed), 0);
  EXPECT_EQ(Shown(250, 300), kMapColour);
  EXPECT_EQ(Shown(1000, 800), kMapColour);

  // The control's face is a copy of its picture.
  HDC dc = GetDC(map_);
  EXPECT_EQ(GetPixel(dc, 170, 0), kBlack);
  EXPECT_EQ(GetPixel(dc, 1000, 800), kMapColour);
  ReleaseDC(map_, dc);
}

TEST_F(PickingTest, PanelIsAWhiteBoxWithABlackLineAndARedLine) {
  Drag(100, 100, 400, 500);
  // A 2-px black border along (2,1)-(339,69), white inside, map outside.
  for (int y : {0, 1, 68, 69}) EXPECT_EQ(Shown(170, y), kBlack) << y;
  for (int x : {1, 2, 338, 339}) EXPECT_EQ(Shown(x, 35), kBlack) << x;
  EXPECT_EQ(Shown(170, 70), kMapColour);
  EXPECT_EQ(Shown(0, 35), kMapColour);
  EXPECT_EQ(Shown(340, 35), kMapColour);
  EXPECT_EQ(Shown(335, 65), kWhite);

  // First line black, second red, both on white cells (smoothed edges
  // blend with white, never with the map).
  int dark = 0, reddish = 0;
  Attach(window_, ID_MAP);
  HDC dc = GetCanvasDC();
  for (int y = 10; y < 24; ++y)
    for (int x = 10; x < 330; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c)) << x << "," << y;
      dark += GetRValue(c) < 128;
    }
  for (int y = 40; y < 54; ++y)
    for (int x = 10; x < 330; ++x) {
      COLORREF c = GetPixel(dc, x, y);
      EXPECT_TRUE(GetRValue(c) == 255 && GetGValue(c) == GetBValue(c)) << x << "," << y;
      reddish += GetGValue(c) < 128;
    }
  EXPECT_GT(dark, 50);
  EXPECT_GT(reddish, 50);
}

TEST_F(PickingTest, PressAndReleaseWithoutMoveMeasureToThePreviousEnd) {
  // First drag after start-up: no end point yet, so the measurement resets.
  Press(200, 200);
  Release(200, 200);
  EXPECT_EQ(StartPoint.x, 0);
  EXPECT_EQ(EndPoint.x, 0);
  ExpectBareMap();

  Drag(100, 100, 400, 500);
  Press(200, 200);
  Release(300, 300);
  EXPECT_EQ(StartPoint.x, 200);
  EXPECT_EQ(EndPoint.x, 400);
  EXPECT_EQ(EndPoint.y, 500);
  EXPECT_TRUE(PanelShown());
}

TEST_F(PickingTest, EndOnColumnOrRowZeroResets) {
  for (POINT end : {POINT{0, 300}, POINT{300, 0}}) {
    Drag(100, 100, 400, 500);
    ASSERT_TRUE(PanelShown());
    Press(500, 500);
    Move(end.x, end.y);
    Release(end.x, end.y);
    EXPECT_EQ(StartPoint.x, 0);
    EXPECT_EQ(StartPoint.y, 0);
    EXPECT_EQ(EndPoint.x, 0);
    EXPECT_EQ(EndPoint.y, 0);
    ExpectBareMap();
  }
}

TEST_F(PickingTest, BandIsOnePixelUntilTheFirstPanelThenTwo) {
  Press(100, 300);
  Move(600, 300);
  EXPECT_EQ(CountShown(350, 290, 351, 310, kRed), 1);
  Release(600, 300);

  Press(100, 600);
  Move(600, 600);
  EXPECT_EQ(CountShown(350, 590, 351, 610, kRed), 2);
  Release(600, 600);
}

TEST_F(PickingTest, DuringADragOnlyTheCurrentBandShows) {
  Drag(100, 100, 400, 500);
  ASSERT_TRUE(PanelShown());
  Press(500, 200);
  Move(900, 200);
  EXPECT_FALSE(PanelShown());
  EXPECT_EQ(CountShown(0, 0, 345, 75, kMapColour), 345 * 75);
  Move(500, 600);
  // The band to the previous pointer position is gone; the new one is there.
  EXPECT_EQ(CountShown(600, 190, 900, 210, kRed), 0);
  EXPECT_GT(CountShown(490, 300, 510, 500, kRed), 200);
}

TEST_F(PickingTest, PressWhileDraggingAndDoubleClickStartNothing) {
  Press(100, 100);
  Move(200, 200);
  Press(300, 300);
  EXPECT_EQ(StartPoint.x, 100);
  Move(400, 400);
  Release(400, 400);
  EXPECT_EQ(StartPoint.x, 100);
  EXPECT_EQ(EndPoint.x, 400);

  Send(WM_LBUTTONDBLCLK, 800, 800);
  EXPECT_EQ(Dragging, 0);
  Move(900, 900);
  EXPECT_EQ(EndPoint.x, 400);
  EXPECT_TRUE(PanelShown());
}

TEST_F(PickingTest, DragGoesOnAfterThePointerLeftTheMap) {
  // Outside the map the control gets no messages at all, release included.
  Press(100, 100);
  Move(1266, 500);
  EXPECT_EQ(Dragging, 1);
  Move(700, 500);
  EXPECT_EQ(StartPoint.x, 100);
  EXPECT_EQ(Shown(1000, 500), kMapColour);
  Release(700, 500);
  EXPECT_EQ(Dragging, 0);
  EXPECT_EQ(EndPoint.x, 700);
  EXPECT_TRUE(PanelShown());
}

TEST_F(PickingTest, MinimiseAndRestoreDuringADrag) {
  Press(100, 100);
  Move(250, 300);
  ShowWindow(window_, SW_MINIMIZE);
  Move(300, 400);  // whatever arrives while minimised
  ShowWindow(window_, SW_RESTORE);
  UpdateWindow(window_);
  Move(400, 500);
  Release(400, 500);
  EXPECT_EQ(EndPoint.x, 400);
  EXPECT_EQ(EndPoint.y, 500);
  EXPECT_TRUE(PanelShown());
  // The restored window shows the panel, not what was there before.
  HDC dc = GetDC(map_);
  EXPECT_EQ(GetPixel(dc, 170, 0), kBlack);
  EXPECT_EQ(GetPixel(dc, 250, 300), kMapColour);
  ReleaseDC(map_, dc);
}

WNDPROC countedProc = nullptr;
int paints = 0;
LRESULT CALLBACK CountPaints(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_PAINT) ++paints;
  return CallWindowProcW(countedProc, w, m, wp, lp);
}

TEST_F(PickingTest, EachMoveRepaintsTheMapOnceAndShowsTheBand) {
  countedProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(map_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountPaints)));
  Press(100, 500);
  HDC dc = GetDC(map_);
  for (int x = 300; x > 240; x -= 10) {
    paints = 0;
    Move(x, 500);
    EXPECT_EQ(paints, 1) << x;
    // The screen shows the new, shorter band, not what was there before.
    EXPECT_EQ(GetPixel(dc, x - 1, 500), kRed) << x;
    EXPECT_EQ(GetPixel(dc, x + 5, 500), kMapColour) << x;
  }
  paints = 0;
  Release(250, 500);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(GetPixel(dc, 170, 0), kBlack);
  ReleaseDC(map_, dc);
  SetWindowLongPtrW(map_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countedProc));
}

}  // namespace
