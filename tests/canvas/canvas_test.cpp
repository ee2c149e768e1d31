// The canvas on memory bitmaps, checked by reading pixels back.
#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/real_window.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

COLORREF At(int x, int y) { return GetPixel(GetCanvasDC(), x, y); }

// Pixels of the current target's area that are not colour c.
int CountNot(int left, int top, int right, int bottom, COLORREF c) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) n += At(x, y) != c;
  return n;
}

// White bitmap targets, the last one made current; all ended afterwards.
class CanvasTest : public ::testing::Test {
 protected:
  HBITMAP White(int width, int height, COLORREF c = kWhite) {
    made_.push_back(NewBitmap(width, height));
    Attach(made_.back());
    Clear(c);
    return made_.back();
  }
  void TearDown() override {
    for (HBITMAP b : made_) {
      Attach(b);
      EndBitmap();
    }
  }
  std::vector<HBITMAP> made_;
  HBITMAP bitmap_ = White(100, 100);
};

TEST_F(CanvasTest, ColoursLinesAndBoxes) {
  SetColors(kDefaultColor, kDefaultColor);
  Clear(kDefaultColor);
  EXPECT_EQ(At(99, 99), GetSysColor(COLOR_BTNFACE));
  SetPos(10, 50);
  DrawLine(90, 50, kDefaultColor);
  EXPECT_EQ(At(50, 50), GetSysColor(COLOR_WINDOWTEXT));

  // A 1-px line without its end pixel; the next starts where it ended.
  SetColors(kBlack, kWhite);
  Clear(kDefaultColor);
  SetPos(10, 20);
  DrawLine(30, 20, kRed);
  DrawLine(30, 40, kRed);
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 40);
  EXPECT_EQ(At(10, 20), kRed);
  EXPECT_EQ(At(30, 39), kRed);
  // Coordinates are rounded half to even: 20.5 -> 20, 21.5 -> 22.
  Clear(kWhite);
  SetPos(20.5f, 5);
  DrawLine(21.5f, 5, kRed);
  EXPECT_EQ(CountNot(20, 5, 22, 6, kRed), 0);
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 2);

  // The width stays with the target for every later line (the result
  // panel's box and the rubber band show the rest).
  SetWidth(2);
  White(10, 10);
  Attach(bitmap_);
  SetPos(50, 60);
  DrawLine(50, 90, kBlack);
  EXPECT_EQ(CountNot(40, 75, 60, 76, kWhite), 2);
}

TEST_F(CanvasTest, PrintFillsCellsClipsAtTheEdgeAndMovesDown) {
  SetColors(kBlack, kGreen);
  SetPos(5, 5);
  Print(L"HH");
  EXPECT_GT(CountNot(5, 5, 20, 18, kGreen), 10);
  EXPECT_GT(CountNot(5, 5, 20, 18, kBlack), 10);
  EXPECT_EQ(CountNot(0, 0, 100, 5, kWhite) + CountNot(0, 0, 5, 100, kWhite) + CountNot(40, 0, 100, 100, kWhite), 0);

  // Too long for the room to the right: cut at the edge, not wrapped.
  Clear(kWhite);
  SetPos(70, 0);
  Print(L"WWWWWWWWWWWW");
  EXPECT_GT(CountNot(90, 0, 100, 10, kWhite), 0);
  EXPECT_EQ(CountNot(0, 14, 100, 100, kWhite), 0);
  // Each Print, even of nothing, goes a line down and back to x 0; a Clear
  // goes back to the top.
  SetPos(40, 40);
  Clear(kWhite);
  Print(L"");
  Print(L"");
  Print(L"M");
  EXPECT_EQ(CountNot(0, 0, 100, 20, kWhite), 0);
  EXPECT_GT(CountNot(0, 20, 12, 40, kWhite), 0);
  EXPECT_EQ(CountNot(12, 20, 100, 100, kWhite), 0);
}

TEST_F(CanvasTest, CopiesAreClippedAndIgnoreUnknownSources) {
  HBITMAP red = White(50, 50, kRed);
  HBITMAP wide = White(200, 30, kGreen);
  Attach(bitmap_);
  CopyAt(red, 80, 80);
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 400);
  CopyAt(red, -10, -10);
  EXPECT_EQ(CountNot(0, 0, 40, 40, kRed), 0);
  EXPECT_EQ(At(40, 40), kWhite);
  CopyAll(wide);  // the common top-left part of both pictures
  EXPECT_EQ(CountNot(0, 0, 100, 30, kGreen), 0);
  EXPECT_EQ(At(0, 30), kRed);

  // A bitmap the canvas doesn't know, the null handle and the null target do nothing.
  HBITMAP foreign = CreateBitmap(100, 100, 1, 32, nullptr);
  Clear(kWhite);
  for (HBITMAP source : {foreign, static_cast<HBITMAP>(nullptr)}) {
    CopyAll(source);
    CopyAt(source, 0, 0);
  }
  DeleteObject(foreign);
  for (HANDLE target : {static_cast<HANDLE>(nullptr), reinterpret_cast<HANDLE>(0x1234)}) {
    Attach(target);
    EXPECT_EQ(GetCanvasDC(), nullptr);
    Clear(kRed);
    DrawLine(99, 99, kRed);
    Box(0, 0, 99, 99, 0, kRed, kRed, 0);
    Print(L"texto");
    CopyAll(bitmap_);
    EndBitmap();
  }
  Attach(bitmap_);
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 0);
  EXPECT_EQ(NewBitmap(0, 10), nullptr);
  EXPECT_EQ(NewBitmap(10, -1), nullptr);
}

TEST_F(CanvasTest, ResourcesFontsAndEndedBitmaps) {
  RenderResource(L"#500", 0, 0, 99, 99);
  RenderResource(L"NOEXISTE", 0, 0, 99, 99);
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 0);
  RenderResource(L"#200", 0, 0, 31, 31);  // the program's icon, carried here too
  EXPECT_GT(CountNot(0, 0, 32, 32, kWhite), 0);
  EXPECT_EQ(CountNot(32, 0, 100, 100, kWhite), 0);

  const CanvasCounts before = GetCanvasCounts();
  const int font = NewFont(L"Consola", 8, kBold | kItalic);
  EXPECT_EQ(NewFont(L"Consola", 0, kBold | kItalic), font);  // 0 points means 8
  EXPECT_NE(NewFont(L"Consola", 8, kBold), font);
  EXPECT_NE(NewFont(L"Consola", 9, kBold | kItalic), font);
  const std::wstring face(31, L'x');  // only 31 characters of a face count
  EXPECT_EQ(NewFont(face + L"A", 8, 0), NewFont(face + L"B", 8, 0));
  EXPECT_EQ(GetCanvasCounts().fonts, before.fonts + 4);

  HBITMAP b = NewBitmap(10, 10);
  Attach(b);
  EndBitmap();
  Attach(b);
  EXPECT_EQ(GetCanvasDC(), nullptr);
  EXPECT_EQ(GetCanvasCounts().targets, before.targets);
}

// Every operation, on bitmaps made and ended again and again, leaves no GDI
// object behind.
TEST_F(CanvasTest, NothingLeaksAcrossManyBitmaps) {
  const int font = NewFont(L"Consola", 8, kBold);
  auto cycle = [&](int i) {
    Attach(NewBitmap(40, 40));
    SetColors(kRed, kGreen);
    Clear(kDefaultColor, 1 + i % 6);
    SetWidth(i % 3);
    DrawLine(30, 30, kBlack);
    Box(1, 1, 30, 30, i % 2 * 20, kBlack, kWhite, i % 7);
    SetFont(font);
    Print(L"x");
    CopyAt(bitmap_, 0, 0);
    CopyAll(bitmap_);
    RenderResource(L"#200", 0, 0, 15, 15);
    EndBitmap();
  };
  for (int i = 0; i < 100; ++i) cycle(i);
  const DWORD before = GdiObjects();
  for (int i = 0; i < 1000; ++i) cycle(i);
  EXPECT_LE(GdiObjects(), before + 2);
}

}  // namespace
