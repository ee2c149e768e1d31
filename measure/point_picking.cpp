#include "measure/point_picking.h"

#include "common/state.h"
#include "canvas/canvas.h"
#include "measure/result_panel.h"

namespace {

constexpr COLORREF kRubberBand = RGB(255, 0, 0);

// Client coordinates from a mouse message, each read as an unsigned 16-bit value.
MapPoint PointOf(LPARAM lParam) {
  return MapPoint{static_cast<int32_t>(LOWORD(lParam)), static_cast<int32_t>(HIWORD(lParam))};
}

void OnPress(MapPoint p) {
  if (Dragging) return;
  StartPoint = p;
  Dragging = 1;
}

// The second point is the last position a move reported; the release's own
// position is not used.
void OnRelease() {
  if (!Dragging) return;
  Dragging = 0;
  RebuildBase();
  ShowDistance();
  ShowCanvas();
}

void OnMove(MapPoint p) {
  if (!Dragging) return;
  RebuildBase();
  SetPos(static_cast<float>(StartPoint.x), static_cast<float>(StartPoint.y));
  DrawLine(static_cast<float>(p.x), static_cast<float>(p.y), kRubberBand);
  EndPoint = p;
  ShowCanvas();
}

}  // namespace

void RebuildBase() {
  Attach(CanvasBitmap);
  Clear(RGB(255, 255, 255));
  Attach(CanvasBitmap);
  CopyAt(MapBitmap, 0, 0);
  Redraw();
}

void ShowCanvas() {
  Attach(MainDialogHandle, ID_MAP);
  CopyAll(CanvasBitmap);
  Redraw();
}

// The mouse is never captured: moves and the release count only while the
// pointer is over the map, so a drag that leaves the map goes on when the
// pointer comes back.
LRESULT CALLBACK MapControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Attach(MainDialogHandle, ID_MAP);
  switch (message) {
    case WM_LBUTTONDOWN:
      OnPress(PointOf(lParam));
      break;
    case WM_LBUTTONUP:
      OnRelease();
      break;
    case WM_MOUSEMOVE:
      OnMove(PointOf(lParam));
      break;
  }
  return CallWindowProcW(OldMapControlProc, window, message, wParam, lParam);
}
