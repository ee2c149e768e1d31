// The canvas on memory bitmaps, checked by reading pixels back.
#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <string>

#include "../support/gdi_objects.h"
#include "../support/real_window.h"

namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);

// Pixels of the current target's area that are not colour c.
int CountNot(RECT area, COLORREF c) { return CountPixels(GetCanvasDC(), area, c, true); }

// Each test draws on a white 100x100 bitmap and leaves no target behind.
class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override { Attach(bitmap_); Clear(kWhite); }
  void TearDown() override {
    Attach(bitmap_);
    EndBitmap();
    EXPECT_EQ(GetCanvasCounts().targets, targets_);
  }
  size_t targets_ = GetCanvasCounts().targets;
  HBITMAP bitmap_ = NewBitmap(100, 100);
};

TEST_F(CanvasTest, LinesWithoutTheirEndPixelAtRoundedCoordinates) {
  SetColors(kDefaultColor, kDefaultColor);
  Clear(kDefaultColor);
  EXPECT_EQ(CountNot({0, 0, 100, 100}, GetSysColor(COLOR_BTNFACE)), 0);
  // Without its end pixel; the next starts where it ended.
  Clear(kWhite);
  SetPos(10, 20);
  DrawLine(30, 20, kRed);
  DrawLine(30, 40, kRed);
  EXPECT_EQ(CountNot({10, 20, 30, 21}, kRed) + CountNot({30, 20, 31, 40}, kRed), 0);
  // Half to even, 20.5 -> 20 and 21.5 -> 22, whatever the rounding mode the thread is in.
  std::fesetround(FE_UPWARD);
  SetPos(20.5f, 5);
  DrawLine(21.5f, 5, kRed);
  std::fesetround(FE_TONEAREST);
  EXPECT_EQ(CountNot({20, 5, 22, 6}, kRed), 0);
  EXPECT_EQ(CountNot({0, 0, 100, 100}, kWhite), 42);
}

TEST_F(CanvasTest, PrintClipsAtTheEdgeAndEachPrintGoesALineDown) {
  // Cut at the edge, not wrapped, in cells of the background colour.
  SetColors(kBlack, kGreen);
  SetPos(70, 5);
  Print(L"WWWWWWWWWWWW");
  EXPECT_GT(CountNot({90, 5, 100, 15}, kGreen), 0);
  EXPECT_GT(CountNot({90, 5, 100, 15}, kBlack), 0);
  EXPECT_EQ(CountNot({0, 0, 70, 100}, kWhite) + CountNot({70, 20, 100, 100}, kWhite), 0);
  // A Clear goes back to the top left; each Print, even of nothing, goes a line (13 px) down
  // and back to x 0.
  SetPos(40, 40);
  Clear(kWhite);
  Print(L"M");
  SetPos(60, 50);
  Print(L"");
  Print(L"M");
  EXPECT_GT(CountNot({0, 0, 12, 13}, kWhite), 0);
  EXPECT_GT(CountNot({0, 63, 12, 76}, kWhite), 0);
  EXPECT_EQ(CountNot({12, 0, 100, 100}, kWhite) + CountNot({0, 13, 12, 63}, kWhite) +
                CountNot({0, 76, 12, 100}, kWhite), 0);
}

// Copies are clipped to the target; sources and targets the canvas doesn't know, such as an
// ended bitmap, do nothing.
TEST_F(CanvasTest, CopiesResourcesFontsAndUnknownHandles) {
  HBITMAP red = NewBitmap(50, 50);
  Attach(red);
  Clear(kRed);
  Attach(bitmap_);
  CopyAt(red, 70, -10);
  CopyAll(reinterpret_cast<HBITMAP>(0x1234));
  EXPECT_EQ(CountNot({70, 0, 100, 40}, kRed), 0);
  EXPECT_EQ(CountNot({0, 0, 100, 100}, kWhite), 30 * 40);
  Attach(red);
  EndBitmap();
  Attach(red);
  EXPECT_EQ(GetCanvasDC(), nullptr);
  Print(L"texto");
  EXPECT_EQ(NewBitmap(0, 10), nullptr);
  EXPECT_EQ(NewBitmap(10, -1), nullptr);
  EXPECT_EQ(NewBitmap(1 << 20, 1 << 20), nullptr);  // a terabyte: GDI refuses it

  Attach(bitmap_);
  Clear(kWhite);
  const DWORD gdi = GdiObjects();
  RenderResource(L"#500", 0, 0, 99, 99);
  RenderResource(L"#65736", 0, 0, 31, 31);  // no 16-bit id, not 65736 - 65536 = 200
  EXPECT_EQ(CountNot({0, 0, 100, 100}, kWhite), 0);
  RenderResource(L"#200", 0, 0, 31, 31);  // the program's icon, carried here too
  EXPECT_GT(CountNot({0, 0, 32, 32}, kWhite), 0);
  EXPECT_EQ(CountNot({32, 0, 100, 100}, kWhite), 0);
  EXPECT_EQ(GdiObjects(), gdi) << "the icon left behind";

  const int font = NewFont(L"Consola", 8, kBold | kItalic);
  EXPECT_EQ(NewFont(L"Consola", 0, kBold | kItalic), font);  // 0 points means 8
  EXPECT_NE(NewFont(L"Consola", 8, kBold), font);
  EXPECT_NE(NewFont(L"Consola", 9, kBold | kItalic), font);
  const std::wstring face(31, L'x');  // only 31 characters of a face count
  EXPECT_EQ(NewFont(face + L"A", 8, 0), NewFont(face + L"B", 8, 0));
}

}  // namespace
