#include "measure/result_panel.h"

#include "app/state.h"
#include "canvas/canvas.h"
#include "measure/distance.h"

namespace {
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
}  // namespace

void ShowDistance() {
  const Measurement m = Measure(StartPoint, EndPoint, SpeedKmh);

  if (!HasEndPoint(EndPoint)) {
    StartPoint = EndPoint = MapPoint{0, 0};
    Attach(CanvasBitmap);
    Clear(kWhite);
    Attach(CanvasBitmap);
    CopyAt(MapBitmap, 0, 0);
    Redraw();
    Attach(MainDialogHandle, ID_MAP);
    CopyAll(CanvasBitmap);
    Redraw();
    return;
  }

  Attach(CanvasBitmap);
  // Stays on the canvas: every later rubber band is 2 pixels wide too.
  SetWidth(2);
  Box(2, 1, 340, 70, 0, kBlack, kWhite, 0);
  SetFont(NewFont(L"Consola", 8, kBold | kItalic));
  SetPos(10, 10);
  SetColors(kBlack, kWhite);
  Print(DistanceLine(m));
  SetPos(10, 40);
  SetColors(kRed, kWhite);
  Print(TimeLine(m, SpeedKmh));
}
