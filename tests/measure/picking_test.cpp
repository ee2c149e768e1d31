// Drags on the real map control, checked on its picture and on its face.
#include <gtest/gtest.h>

#include <string>

#include "canvas/owned.h"
#include "canvas/window_proc.h"
#include "../support/expected_panel.h"
#include "../support/real_window.h"

namespace {

constexpr COLORREF kMapColour = RGB(0xCC, 0xDD, 0xEE);

WNDPROC countedProc = nullptr;
int paints = 0;
LRESULT CALLBACK CountPaints(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  paints += m == WM_PAINT;
  return CallWindowProcW(countedProc, w, m, wp, lp);
}

class PickingTest : public ::testing::Test, protected RealWindow {
 protected:
  // Not 120: a panel that took some speed of its own would still read right.
  PickingTest() : RealWindow(L"87") {}
  // A plain map, so that anything drawn over it stands out.
  void SetUp() override {
    Attach(MapBitmap);
    EndBitmap();
    Attach(MapBitmap = NewBitmap(kCanvasWidth, kCanvasHeight));
    Clear(kMapColour);
  }
  void Press(int x, int y) { Send(map, WM_LBUTTONDOWN, x, y); }
  void Move(int x, int y) { Send(map, WM_MOUSEMOVE, x, y); }
  void Release() { Send(map, WM_LBUTTONUP, 1200, 900); }  // where it goes up never counts
  void Drag(int x1, int y1, int x2, int y2) {
    Press(x1, y1);
    Move(x2, y2);
    Release();
  }
  // Pixels of colour c in the composed picture. The map control's own DC stays with the canvas:
  // once handed out, every Redraw would repaint.
  int Count(RECT area, COLORREF c) {
    Attach(CanvasBitmap);
    return CountPixels(GetCanvasDC(), area, c);
  }
  bool Shows(int x, int y, COLORREF c) { return GetPixel(WindowDC(map).get(), x, y) == c; }
  // The map's face must show the panel reading these two lines, pixel by pixel.
  void ExpectPanel(const std::wstring& distance, const std::wstring& time) {
    EXPECT_EQ(PanelDifference(WindowDC(map).get(), {0, 0}, distance, time), 0) << std::string(time.begin(), time.end());
  }
  static std::string Points() {
    auto text = [](MapPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); };
    return text(StartPoint) + " to " + text(EndPoint);
  }
};

TEST_F(PickingTest, MeasuresFromThePressToTheLastMoveUnderABandThatEachMoveRepaintsOnce) {
  countedProc = ReplaceWindowProc(map, CountPaints);
  Press(100, 300);
  Move(600, 300);
  EXPECT_EQ(Count({350, 290, 351, 310}, kRed), 1);  // one pixel wide until the first panel
  Press(300, 300);  // a second press starts nothing
  Move(400, 500);
  Release();
  // Nor does a double-click, even with a move after it.
  Send(map, WM_LBUTTONDBLCLK, 800, 800);
  Move(900, 900);
  EXPECT_EQ(Points(), "100,300 to 400,500");
  EXPECT_EQ(Count({0, 75, kCanvasWidth, kCanvasHeight}, kMapColour), kCanvasWidth * (kCanvasHeight - 75));
  ExpectPanel(L"La distancia entre esos dos puntos es de 361 km.", L"A 87 km/h = 4 horas y 8 minutos");
  // Now a click measures from where it was pressed to the previous end.
  Press(100, 100);
  Release();
  ExpectPanel(L"La distancia entre esos dos puntos es de 500 km.", L"A 87 km/h = 5 horas y 44 minutos");
  // Each move repaints once; the panel goes, and the face shows the new, shorter band.
  Press(500, 200);
  for (int x = 900; x >= 750; x -= 50) {
    paints = 0;
    Move(x, 200);
    EXPECT_EQ(paints, 1) << x;
    EXPECT_TRUE(Shows(x - 1, 200, kRed) && Shows(x + 5, 200, kMapColour)) << x;
  }
  EXPECT_EQ(Count({0, 0, 345, 75}, kMapColour), 345 * 75);
  EXPECT_EQ(Count({700, 190, 701, 210}, kRed), 2);
  paints = 0;
  Release();
  EXPECT_EQ(paints, 1);
  // A speed from the menu counts from the next drag on.
  {
    BoxAnswerer answerer({L"45"});
    SendMessageW(window, WM_COMMAND, ID_SPEED, 0);
  }
  Drag(1000, 900, 37, 13);
  ExpectPanel(L"La distancia entre esos dos puntos es de 1309 km.", L"A 45 km/h = 29 horas y 5 minutos");
  Drag(500, 500, 300, 0);  // row 0 is no end point: the points, the panel and the band go
  EXPECT_EQ(Points(), "0,0 to 0,0");
  EXPECT_EQ(Count({0, 0, kCanvasWidth, kCanvasHeight}, kMapColour), kCanvasWidth * kCanvasHeight);
  // Drawn straight into a DC taken from the control and kept, a square shows after a Redraw,
  // though a Clear and a line have repainted the face since.
  Attach(window, ID_MAP);
  HDC held = GetCanvasDC();
  Clear(kMapColour);
  const RECT square{900, 700, 960, 760};
  FillRect(held, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  DrawLine(20, 10, kRed);
  Redraw();
  EXPECT_TRUE(Shows(930, 730, kBlack));
}

}  // namespace
