#include "measure/result_panel.h"

#include "common/state.h"
#include "canvas/canvas.h"
#include "measure/distance.h"
#include "measure/point_picking.h"

namespace {
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
}  // namespace

void ShowDistance() {
  const Measurement m = Measure(StartPoint, EndPoint, SpeedKmh);

  if (!HasEndPoint(EndPoint)) {
    StartPoint = EndPoint = MapPoint{0, 0};
    RebuildBase();
    ShowCanvas();
    return;
  }

  Attach(CanvasBitmap);
  DrawResultPanel(DistanceLine(m), TimeLine(m, SpeedKmh));
}

void DrawResultPanel(std::wstring_view distanceLine, std::wstring_view timeLine) {
  // Stays on the canvas: every later rubber band is 2 pixels wide too.
  SetWidth(2);
  Box(2, 1, 340, 70, 0, kBlack, kWhite);
  // No installed face has this name: the font mapper's nearest match for
  // an 8-point bold italic is the panel's look, the one users know.
  SetFont(NewFont(L"Consola", 8, kBold | kItalic));
  SetPos(10, 10);
  SetColors(kBlack, kWhite);
  Print(distanceLine);
  SetPos(10, 40);
  SetColors(kRed, kWhite);
  Print(timeLine);
}
