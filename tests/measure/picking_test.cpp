// Drags on the real map control, in-process, checked on the control's
// picture and on what its face shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/real_window.h"

namespace {

constexpr COLORREF kMapColour = RGB(0xCC, 0xDD, 0xEE);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

class PickingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(real_.window, nullptr);
    ASSERT_EQ(real_.asked.size(), 1u);  // only the speed box, no read error
    // A plain map, so that anything drawn over it stands out.
    Attach(MapBitmap);
    EndBitmap();
    MapBitmap = NewBitmap(kCanvasWidth, kCanvasHeight);
    Attach(MapBitmap);
    Clear(kMapColour);
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
  // Pixels of colour c in an area of the control's picture, or of its face.
  int Count(int left, int top, int right, int bottom, COLORREF c, bool face = false) {
    Attach(real_.window, ID_MAP);
    HDC dc = face ? GetDC(map_) : GetCanvasDC();
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += GetPixel(dc, x, y) == c;
    if (face) ReleaseDC(map_, dc);
    return n;
  }
  bool Shows(int x, int y, COLORREF c, bool face = false) { return Count(x, y, x + 1, y + 1, c, face) == 1; }
  bool PanelShown(bool face = false) { return Shows(170, 0, kBlack, face) && Shows(335, 65, kWhite, face); }
  static std::string Points() {
    return std::to_string(StartPoint.x) + "," + std::to_string(StartPoint.y) + " to " +
           std::to_string(EndPoint.x) + "," + std::to_string(EndPoint.y);
  }
  void ExpectBareMap() {
    EXPECT_EQ(Count(0, 0, kCanvasWidth, kCanvasHeight, kMapColour), kCanvasWidth * kCanvasHeight);
  }

  RealWindow real_;
  HWND map_ = real_.map;
};

TEST_F(PickingTest, DragShowsTheBandThenThePanelWithTheLastMove) {
  Press(100, 100);
  Move(250, 300);
  EXPECT_TRUE(Shows(175, 200, kRed));
  Move(400, 500);
  Release(700, 700);  // the release's own position doesn't count
  EXPECT_EQ(Dragging, 0);
  EXPECT_EQ(Points(), "100,100 to 400,500");
  EXPECT_EQ(Count(0, 75, kCanvasWidth, kCanvasHeight, kMapColour), kCanvasWidth * (kCanvasHeight - 75));

  // A 2-px black border along (2,1)-(339,69), white inside, map outside,
  // on the picture and on the face alike.
  for (bool face : {false, true}) {
    for (int y : {0, 1, 68, 69}) EXPECT_TRUE(Shows(170, y, kBlack, face)) << y;
    for (int x : {1, 2, 338, 339}) EXPECT_TRUE(Shows(x, 35, kBlack, face)) << x;
    for (POINT p : {POINT{170, 70}, POINT{0, 35}, POINT{340, 35}, POINT{1000, 800}})
      EXPECT_TRUE(Shows(p.x, p.y, kMapColour, face)) << p.x;
    EXPECT_TRUE(Shows(335, 65, kWhite, face));
  }
  // The first line black, the second red, both on white.
  EXPECT_GT(Count(10, 10, 330, 24, kBlack), 50);
  EXPECT_EQ(Count(10, 10, 330, 24, kRed), 0);
  EXPECT_GT(Count(10, 40, 330, 54, kRed), 50);
  EXPECT_EQ(Count(10, 40, 330, 54, kBlack), 0);
}

TEST_F(PickingTest, BandIsOnePixelUntilTheFirstPanelThenTwoAndOnlyTheCurrentOneShows) {
  Press(100, 300);
  Move(600, 300);
  EXPECT_EQ(Count(350, 290, 351, 310, kRed), 1);
  Release(600, 300);
  Press(500, 200);
  Move(900, 200);
  EXPECT_FALSE(PanelShown());
  EXPECT_EQ(Count(0, 0, 345, 75, kMapColour), 345 * 75);
  EXPECT_EQ(Count(700, 190, 701, 210, kRed), 2);
  Move(500, 600);
  EXPECT_EQ(Count(600, 190, 900, 210, kRed), 0);
  EXPECT_GT(Count(490, 300, 510, 500, kRed), 200);
  Release(500, 600);
}

TEST_F(PickingTest, ClicksWithoutAMoveAndEndsOnTheEdgeReset) {
  // No end point yet: the measurement resets to the bare map.
  Press(200, 200);
  Release(200, 200);
  EXPECT_EQ(Points(), "0,0 to 0,0");
  ExpectBareMap();
  // Later, a click measures from where it was pressed to the previous end.
  Drag(100, 100, 400, 500);
  Press(200, 200);
  Release(300, 300);
  EXPECT_EQ(Points(), "200,200 to 400,500");
  EXPECT_TRUE(PanelShown());
  // Column 0 or row 0 is no end point.
  for (POINT end : {POINT{0, 300}, POINT{300, 0}}) {
    Drag(100, 100, 400, 500);
    ASSERT_TRUE(PanelShown());
    Drag(500, 500, end.x, end.y);
    EXPECT_EQ(Points(), "0,0 to 0,0");
    ExpectBareMap();
  }
}

TEST_F(PickingTest, SecondPressAndDoubleClickStartNothingAndLeavingTheMapPausesTheDrag) {
  Press(100, 100);
  Move(200, 200);
  Press(300, 300);
  Move(400, 400);
  Release(400, 400);
  EXPECT_EQ(Points(), "100,100 to 400,400");
  Send(WM_LBUTTONDBLCLK, 800, 800);
  EXPECT_EQ(Dragging, 0);
  Move(900, 900);
  EXPECT_EQ(EndPoint.x, 400);
  EXPECT_TRUE(PanelShown());

  // Outside the map the control gets no messages at all, release included.
  Press(100, 100);
  Move(1266, 500);
  Move(700, 500);
  EXPECT_TRUE(Shows(1000, 500, kMapColour));
  Release(700, 500);
  EXPECT_EQ(Points(), "100,100 to 700,500");
  EXPECT_TRUE(PanelShown());
}

WNDPROC countedProc = nullptr;
int paints = 0;
LRESULT CALLBACK CountPaints(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_PAINT) ++paints;
  return CallWindowProcW(countedProc, w, m, wp, lp);
}

TEST_F(PickingTest, EachMoveRepaintsTheMapOnceAndTheFaceFollows) {
  countedProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(map_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountPaints)));
  Press(100, 500);
  for (int x = 300; x > 240; x -= 10) {
    paints = 0;
    Move(x, 500);
    EXPECT_EQ(paints, 1) << x;
    // The new, shorter band, not what was there before.
    EXPECT_TRUE(Shows(x - 1, 500, kRed, true)) << x;
    EXPECT_TRUE(Shows(x + 5, 500, kMapColour, true)) << x;
  }
  paints = 0;
  Release(250, 500);
  EXPECT_EQ(paints, 1);
  EXPECT_TRUE(PanelShown(true));
  SetWindowLongPtrW(map_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countedProc));
}

// Drawing straight into the control's DC shows after a Redraw, even where
// a smaller operation since then repainted only its own rectangle.
TEST_F(PickingTest, RedrawShowsDirectDrawingOutsideALaterPartialOperation) {
  for (int operation = 0; operation < 3; ++operation) {
    SCOPED_TRACE(operation);
    Attach(real_.window, ID_MAP);
    Clear(kMapColour);
    RECT square{900, 700, 960, 760};
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    FillRect(GetCanvasDC(), &square, green);
    DeleteObject(green);
    SetPos(10, 10);
    if (operation == 0) DrawLine(20, 10, kRed);
    if (operation == 1) Box(5, 5, 30, 30, 0, kBlack, kWhite);
    if (operation == 2) Print(L"x");
    Redraw();
    EXPECT_TRUE(Shows(930, 730, RGB(0, 200, 0), true));
  }
}

// An hour of dragging in a minute: nothing the program holds may grow.
TEST_F(PickingTest, TenThousandDragsLeaveNothingBehind) {
  auto drags = [this](int count) {
    for (int i = 0; i < count; ++i) {
      Press(50 + i % 100, 80);
      Move(100 + (i * 37) % 1000, 100 + (i * 53) % 800);
      Release(0, 0);
    }
  };
  drags(200);  // warm up: the first DCs and fonts
  const CanvasCounts canvas = GetCanvasCounts();
  const DWORD gdi = GdiObjects();
  drags(10000);
  EXPECT_LE(GdiObjects(), gdi + 2);
  EXPECT_EQ(GetCanvasCounts().targets, canvas.targets);
  EXPECT_EQ(GetCanvasCounts().fonts, canvas.fonts);
  EXPECT_GT(EndPoint.x, 0);

  // The count must itself see an object come.
  const DWORD now = GdiObjects();
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(GdiObjects(), now + 1);
  DeleteObject(brush);
}

}  // namespace
