// An hour of dragging in a minute: nothing the program holds may grow.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/state.h"
#include "canvas/canvas.h"
#include "measure/point_picking.h"
#include "../support/box_answerer.h"
#include "../support/gdiplus_environment.h"

namespace {

// GDI objects the process holds. GetGuiResources answers on Windows; Wine
// only has a stub that returns 0. There, as a test-only stand-in, we look
// at which slot of Wine's GDI handle table a fresh object takes: freed slots
// are handed out again first, so leaked objects push new handles to slots
// never used before.
struct GdiProbe {
  DWORD count;  // 0 under Wine
  unsigned slot;
};

GdiProbe ProbeGdi() {
  HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
  unsigned slot = LOWORD(reinterpret_cast<UINT_PTR>(b));
  DeleteObject(b);
  return GdiProbe{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), slot};
}

void Drag(HWND map, int i) {
  int x = 100 + (i * 37) % 1000, y = 100 + (i * 53) % 800;
  SendMessageW(map, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50 + i % 100, 80));
  SendMessageW(map, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(map, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

TEST(Soak, TenThousandDragsLeaveNothingBehind) {
  BoxAnswerer answerer({L"120"});
  HWND window = CreateMainDialog(nullptr);
  ASSERT_NE(window, nullptr);
  BeginModalRun(window);
  ASSERT_EQ(answerer.seen().size(), 1u);
  HWND map = GetDlgItem(window, ID_MAP);

  for (int i = 0; i < 200; ++i) Drag(map, i);  // warm up: first DCs and fonts
  const CanvasCounts canvasBefore = GetCanvasCounts();
  const GdiProbe gdiBefore = ProbeGdi();

  for (int i = 0; i < 10000; ++i) Drag(map, i);

  const CanvasCounts canvasAfter = GetCanvasCounts();
  const GdiProbe gdiAfter = ProbeGdi();
  EXPECT_EQ(canvasAfter.targets, canvasBefore.targets);
  EXPECT_EQ(canvasAfter.fonts, canvasBefore.fonts);
  if (gdiBefore.count != 0) {
    EXPECT_LE(gdiAfter.count, gdiBefore.count + 2);
  } else {
    // One object lost per drag would move the probe 10,000 slots on.
    EXPECT_LT(gdiAfter.slot, gdiBefore.slot + 1000) << gdiBefore.slot << " -> " << gdiAfter.slot;
  }
  EXPECT_EQ(Dragging, 0);
  EXPECT_GT(EndPoint.x, 0);
  DestroyWindow(window);
}

// The stand-in above must itself see a leak, or it proves nothing.
TEST(Soak, TheWineStandInSeesALeak) {
  const GdiProbe before = ProbeGdi();
  std::vector<HBRUSH> leaked;
  for (int i = 0; i < 3000; ++i) leaked.push_back(CreateSolidBrush(RGB(i % 256, 0, 0)));
  const GdiProbe after = ProbeGdi();
  for (HBRUSH b : leaked) DeleteObject(b);
  if (before.count != 0)
    EXPECT_GE(after.count, before.count + 3000);
  else
    EXPECT_GE(after.slot, before.slot + 1000);
}

}  // namespace
