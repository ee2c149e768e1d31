// The canvas on memory bitmaps, checked by reading pixels back.
#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// A fresh white bitmap target, current for the test and ended afterwards.
class CanvasTest : public ::testing::Test {
 protected:
  HBITMAP MakeWhite(int width, int height) {
    HBITMAP b = NewBitmap(width, height);
    EXPECT_NE(b, nullptr);
    Attach(b);
    Clear(kWhite);
    made_.push_back(b);
    return b;
  }
  void SetUp() override { bitmap_ = MakeWhite(100, 100); }
  void TearDown() override {
    for (HBITMAP b : made_) {
      Attach(b);
      EndBitmap();
    }
  }
  static COLORREF At(int x, int y) { return GetPixel(GetCanvasDC(), x, y); }
  // Rows of column x, within [from, to), whose pixel has the colour.
  static int CountInColumn(int x, int from, int to, COLORREF c) {
    int n = 0;
    for (int y = from; y < to; ++y) n += At(x, y) == c;
    return n;
  }
  static bool RowIs(int y, int from, int to, COLORREF c) {
    for (int x = from; x < to; ++x)
      if (At(x, y) != c) return false;
    return true;
  }
  static int CountNot(int left, int top, int right, int bottom, COLORREF c) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += At(x, y) != c;
    return n;
  }
  HBITMAP bitmap_ = nullptr;
  std::vector<HBITMAP> made_;
};

TEST_F(CanvasTest, ClearFillsWithColourOrBackgroundAndResetsPosition) {
  Clear(kRed);
  EXPECT_EQ(At(0, 0), kRed);
  EXPECT_EQ(At(99, 99), kRed);

  SetColors(kBlack, kGreen);
  Clear(kDefaultColor);
  EXPECT_EQ(At(50, 50), kGreen);

  SetColors(kDefaultColor, kDefaultColor);
  Clear(kDefaultColor);
  EXPECT_EQ(At(50, 50), GetSysColor(COLOR_BTNFACE));

  // Text after a Clear starts at the top-left corner, whatever came before.
  SetColors(kBlack, kWhite);
  Clear(kWhite);
  SetPos(60, 60);
  Clear(kWhite);
  Print(L"MMM");
  EXPECT_GT(CountNot(0, 0, 30, 12, kWhite), 0);
  EXPECT_EQ(CountNot(50, 50, 100, 100, kWhite), 0);
}

TEST_F(CanvasTest, DefaultForegroundIsWindowText) {
  SetColors(kRed, kWhite);
  SetColors(kDefaultColor, kWhite);
  SetPos(10, 50);
  DrawLine(90, 50, kDefaultColor);
  EXPECT_EQ(At(50, 50), GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(CanvasTest, LinesLeaveTheEndPixelAndKeepTheirWidth) {
  SetPos(10, 20);
  DrawLine(30, 20, kRed);
  EXPECT_EQ(At(10, 20), kRed);
  EXPECT_EQ(At(29, 20), kRed);
  EXPECT_EQ(At(30, 20), kWhite);
  EXPECT_EQ(CountInColumn(20, 0, 100, kRed), 1);

  // The position follows the line: the next one starts where it ended.
  DrawLine(30, 40, kRed);
  EXPECT_EQ(At(30, 30), kRed);

  SetWidth(2);
  SetPos(10, 60);
  DrawLine(90, 60, kRed);
  EXPECT_EQ(CountInColumn(50, 50, 70, kRed), 2);
  // The width stays on the target for every later line.
  Attach(bitmap_);
  SetPos(50, 75);
  DrawLine(50, 95, kBlack);
  int wide = 0;
  for (int x = 45; x < 55; ++x) wide += At(x, 85) == kBlack;
  EXPECT_EQ(wide, 2);

  // Coordinates are rounded half to even: 20.5 -> 20, 21.5 -> 22.
  Clear(kWhite);
  SetWidth(0);
  SetPos(20.5f, 5);
  DrawLine(21.5f, 5, kRed);
  EXPECT_EQ(At(20, 5), kRed);
  EXPECT_EQ(At(21, 5), kRed);
  EXPECT_EQ(At(22, 5), kWhite);
}

TEST_F(CanvasTest, BoxOrdersCornersCentresItsBorderAndFills) {
  HBITMAP big = MakeWhite(400, 100);
  SetColors(kBlack, kRed);
  Clear(kDefaultColor);  // red all round, to see what the box covers
  SetWidth(2);
  Box(340, 70, 2, 1, 0, kBlack, kWhite, 0);

  // Inside white; a 2-px black outline centred on the path that runs along
  // (2,1)-(339,69), the last column and row inside the exclusive corner;
  // nothing drawn beyond it.
  EXPECT_EQ(At(170, 35), kWhite);
  EXPECT_EQ(CountInColumn(170, 0, 100, kBlack), 4);
  for (int y : {0, 1, 68, 69}) EXPECT_EQ(At(170, y), kBlack) << y;
  EXPECT_EQ(At(170, 2), kWhite);
  EXPECT_EQ(At(170, 67), kWhite);
  EXPECT_EQ(At(170, 70), kRed);
  for (int x : {1, 2, 338, 339}) EXPECT_EQ(At(x, 35), kBlack) << x;
  EXPECT_EQ(At(0, 35), kRed);
  EXPECT_EQ(At(3, 35), kWhite);
  EXPECT_EQ(At(340, 35), kRed);
  Attach(big);
  EndBitmap();
  made_.pop_back();
}

TEST_F(CanvasTest, PrintFillsCellsClipsAtTheEdgeAndMovesDown) {
  SetColors(kBlack, kGreen);
  SetPos(5, 5);
  Print(L"HH");
  int greenCells = 0, blackInk = 0;
  for (int y = 5; y < 18; ++y)
    for (int x = 5; x < 20; ++x) {
      greenCells += At(x, y) == kGreen;
      blackInk += At(x, y) == kBlack;
    }
  EXPECT_GT(greenCells, 0);
  EXPECT_GT(blackInk, 0);
  EXPECT_EQ(At(4, 6), kWhite);   // nothing left of the position
  EXPECT_EQ(At(80, 6), kWhite);  // cells only, not the rest of the line

  // Too long for the room to the right: cut at the edge, not wrapped.
  Clear(kWhite);
  SetPos(70, 0);
  Print(L"WWWWWWWWWWWW");
  EXPECT_GT(CountNot(90, 0, 100, 10, kWhite), 0);
  EXPECT_EQ(CountNot(0, 14, 100, 40, kWhite), 0);

  // Each Print, even of nothing, goes one line down and back to x 0.
  Clear(kWhite);
  SetPos(40, 0);
  Print(L"");
  Print(L"");
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 0);
  Print(L"H");
  EXPECT_EQ(CountNot(0, 0, 100, 20, kWhite), 0);
  EXPECT_GT(CountNot(0, 20, 12, 40, kWhite), 0);
}

TEST_F(CanvasTest, CopiesAreClippedAndIgnoreUnknownSources) {
  HBITMAP red = MakeWhite(50, 50);
  Clear(kRed);
  HBITMAP wide = MakeWhite(200, 30);
  Clear(kGreen);

  Attach(bitmap_);
  CopyAt(red, 80, 80);
  EXPECT_EQ(At(79, 79), kWhite);
  EXPECT_EQ(At(80, 80), kRed);
  EXPECT_EQ(At(99, 99), kRed);
  CopyAt(red, -10, -10);
  EXPECT_EQ(At(0, 0), kRed);
  EXPECT_EQ(At(39, 39), kRed);
  EXPECT_EQ(At(40, 40), kWhite);

  // CopyAll takes the common top-left part of both pictures.
  Clear(kWhite);
  CopyAll(wide);
  EXPECT_EQ(At(99, 29), kGreen);
  EXPECT_EQ(At(50, 30), kWhite);

  // A bitmap the canvas doesn't know, and the null handle, draw nothing.
  HDC screen = GetDC(nullptr);
  HBITMAP foreign = CreateCompatibleBitmap(screen, 100, 100);
  ReleaseDC(nullptr, screen);
  Clear(kWhite);
  CopyAll(foreign);
  CopyAll(nullptr);
  CopyAt(foreign, 0, 0);
  CopyAt(nullptr, 0, 0);
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 0);
  DeleteObject(foreign);
}

TEST_F(CanvasTest, FontsAreSharedBetweenIdenticalRequests) {
  size_t before = GetCanvasCounts().fonts;
  int a = NewFont(L"Consola", 8, kBold | kItalic);
  EXPECT_EQ(NewFont(L"Consola", 8, kBold | kItalic), a);
  EXPECT_NE(NewFont(L"Consola", 8, kBold), a);
  EXPECT_NE(NewFont(L"Consola", 9, kBold | kItalic), a);
  // 0 points means 8; the face is cut at 31 characters.
  EXPECT_EQ(NewFont(L"Consola", 0, kBold | kItalic), a);
  std::wstring longName(31, L'x');
  EXPECT_EQ(NewFont(longName + L"A", 8, 0), NewFont(longName + L"B", 8, 0));
  EXPECT_EQ(GetCanvasCounts().fonts, before + 4);
}

TEST_F(CanvasTest, NothingHappensWithoutAValidTarget) {
  Detach();
  EXPECT_EQ(GetCanvasDC(), nullptr);
  EXPECT_EQ(GetCanvasSize().cx, 0);
  Clear(kRed);
  SetPos(0, 0);
  DrawLine(99, 99, kRed);
  Box(0, 0, 99, 99, 0, kRed, kRed, 0);
  Print(L"texto");
  CopyAll(bitmap_);
  Redraw();
  EndBitmap();

  Attach(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x1234)));
  EXPECT_EQ(GetCanvasDC(), nullptr);
  Clear(kRed);

  Attach(bitmap_);
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 0);
  SIZE size = GetCanvasSize();
  EXPECT_EQ(size.cx, 100);
  EXPECT_EQ(size.cy, 100);

  EXPECT_EQ(NewBitmap(0, 10), nullptr);
  EXPECT_EQ(NewBitmap(10, -1), nullptr);
}

TEST_F(CanvasTest, EndBitmapForgetsTheTarget) {
  size_t before = GetCanvasCounts().targets;
  HBITMAP b = NewBitmap(10, 10);
  EXPECT_EQ(GetCanvasCounts().targets, before + 1);
  Attach(b);
  EndBitmap();
  EXPECT_EQ(GetCanvasDC(), nullptr);
  EXPECT_EQ(GetCanvasCounts().targets, before);
  Attach(b);
  EXPECT_EQ(GetCanvasDC(), nullptr);
}

TEST_F(CanvasTest, RenderResourceDrawsOnlyWhatExists) {
  RenderResource(L"#500", 0, 0, 99, 99);
  RenderResource(L"NOEXISTE", 0, 0, 99, 99);
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 0);
  // The program's icon group, which this test executable carries too.
  RenderResource(L"#200", 0, 0, 31, 31);
  EXPECT_GT(CountNot(0, 0, 32, 32, kWhite), 0);
  EXPECT_EQ(CountNot(32, 0, 100, 100, kWhite), 0);
}

}  // namespace
