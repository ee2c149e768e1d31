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

// Pixels of the area that are not colour c.
int CountNot(int left, int top, int right, int bottom, COLORREF c) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) n += At(x, y) != c;
  return n;
}

// Fresh white bitmap targets, the first one current, all ended afterwards.
class CanvasTest : public ::testing::Test {
 protected:
  HBITMAP MakeWhite(int width, int height) {
    HBITMAP b = NewBitmap(width, height);
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
  HBITMAP bitmap_ = nullptr;
  std::vector<HBITMAP> made_;
};

TEST_F(CanvasTest, ClearAndDefaultColours) {
  SetColors(kBlack, kGreen);
  Clear(kDefaultColor);
  EXPECT_EQ(At(99, 99), kGreen);
  SetColors(kDefaultColor, kDefaultColor);
  Clear(kDefaultColor);
  EXPECT_EQ(At(50, 50), GetSysColor(COLOR_BTNFACE));
  SetPos(10, 50);
  DrawLine(90, 50, kDefaultColor);
  EXPECT_EQ(At(50, 50), GetSysColor(COLOR_WINDOWTEXT));

  // Text after a Clear starts at the top-left corner, wherever the pen was.
  SetColors(kBlack, kWhite);
  SetPos(60, 60);
  Clear(kWhite);
  Print(L"MMM");
  EXPECT_GT(CountNot(0, 0, 30, 12, kWhite), 0);
  EXPECT_EQ(CountNot(50, 50, 100, 100, kWhite), 0);
}

TEST_F(CanvasTest, LinesLeaveTheEndPixelAndKeepTheirWidth) {
  SetPos(10, 20);
  DrawLine(30, 20, kRed);
  EXPECT_EQ(At(10, 20), kRed);
  EXPECT_EQ(At(29, 20), kRed);
  EXPECT_EQ(At(30, 20), kWhite);
  EXPECT_EQ(CountNot(20, 0, 21, 100, kWhite), 1);
  DrawLine(30, 40, kRed);  // on from where the last one ended
  EXPECT_EQ(At(30, 30), kRed);

  // The width stays with the target, for every later line.
  SetWidth(2);
  Attach(MakeWhite(10, 10));
  Attach(bitmap_);
  SetPos(50, 75);
  DrawLine(50, 95, kBlack);
  EXPECT_EQ(CountNot(40, 85, 60, 86, kWhite), 2);

  // Coordinates are rounded half to even: 20.5 -> 20, 21.5 -> 22.
  SetWidth(0);
  Clear(kWhite);
  SetPos(20.5f, 5);
  DrawLine(21.5f, 5, kRed);
  EXPECT_EQ(CountNot(0, 5, 100, 6, kWhite), 2);
  EXPECT_EQ(At(21, 5), kRed);
}

TEST_F(CanvasTest, BoxOrdersCornersCentresItsBorderAndFills) {
  MakeWhite(400, 100);
  SetColors(kBlack, kRed);
  Clear(kDefaultColor);
  SetWidth(2);
  Box(340, 70, 2, 1, 0, kBlack, kWhite, 0);
  // A 2-px outline centred on the path along (2,1)-(339,69), white inside.
  for (int y : {0, 1, 68, 69}) EXPECT_EQ(At(170, y), kBlack) << y;
  for (int x : {1, 2, 338, 339}) EXPECT_EQ(At(x, 35), kBlack) << x;
  EXPECT_EQ(CountNot(3, 2, 338, 68, kWhite), 0);
  for (POINT p : {POINT{170, 70}, POINT{0, 35}, POINT{340, 35}}) EXPECT_EQ(At(p.x, p.y), kRed);
}

TEST_F(CanvasTest, PrintFillsCellsClipsAtTheEdgeAndMovesDown) {
  SetColors(kBlack, kGreen);
  SetPos(5, 5);
  Print(L"HH");
  EXPECT_GT(CountNot(5, 5, 20, 18, kBlack), CountNot(5, 5, 20, 18, kGreen));
  EXPECT_EQ(At(5, 6), kGreen);
  EXPECT_EQ(At(4, 6), kWhite);   // nothing left of the position
  EXPECT_EQ(At(80, 6), kWhite);  // the cells only, not the rest of the line

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
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 400);
  CopyAt(red, -10, -10);
  EXPECT_EQ(At(39, 39), kRed);
  EXPECT_EQ(At(40, 40), kWhite);
  Clear(kWhite);
  CopyAll(wide);  // the common top-left part of both pictures
  EXPECT_EQ(CountNot(0, 0, 100, 100, kGreen), 100 * 70);

  // A bitmap the canvas doesn't know, and the null handle, draw nothing.
  HBITMAP foreign = CreateBitmap(100, 100, 1, 32, nullptr);
  Clear(kWhite);
  for (HBITMAP source : {foreign, static_cast<HBITMAP>(nullptr)}) {
    CopyAll(source);
    CopyAt(source, 0, 0);
  }
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 0);
  DeleteObject(foreign);
}

TEST_F(CanvasTest, FontsAreSharedBetweenIdenticalRequests) {
  const size_t before = GetCanvasCounts().fonts;
  const int a = NewFont(L"Consola", 8, kBold | kItalic);
  EXPECT_EQ(NewFont(L"Consola", 0, kBold | kItalic), a);  // 0 points means 8
  EXPECT_NE(NewFont(L"Consola", 8, kBold), a);
  EXPECT_NE(NewFont(L"Consola", 9, kBold | kItalic), a);
  const std::wstring face(31, L'x');  // the face is cut at 31 characters
  EXPECT_EQ(NewFont(face + L"A", 8, 0), NewFont(face + L"B", 8, 0));
  EXPECT_EQ(GetCanvasCounts().fonts, before + 4);
}

TEST_F(CanvasTest, NothingHappensWithoutAValidTargetAndEndedBitmapsAreForgotten) {
  for (HANDLE target : {static_cast<HANDLE>(nullptr), reinterpret_cast<HANDLE>(0x1234)}) {
    Attach(target);
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
  }
  Attach(bitmap_);
  EXPECT_EQ(CountNot(0, 0, 100, 100, kWhite), 0);
  EXPECT_EQ(NewBitmap(0, 10), nullptr);
  EXPECT_EQ(NewBitmap(10, -1), nullptr);

  const size_t before = GetCanvasCounts().targets;
  HBITMAP b = NewBitmap(10, 10);
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
  RenderResource(L"#200", 0, 0, 31, 31);  // the program's icon, carried here too
  EXPECT_GT(CountNot(0, 0, 32, 32, kWhite), 0);
  EXPECT_EQ(CountNot(32, 0, 100, 100, kWhite), 0);
}

// Every operation, on bitmaps made and ended again and again, leaves no GDI
// object behind.
TEST_F(CanvasTest, NothingLeaksAcrossManyBitmaps) {
  const int font = NewFont(L"Consola", 8, kBold);
  GdiProbe before{};
  for (int i = 0; i < 3000; ++i) {
    if (i == 100) before = ProbeGdi();
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
  }
  const GdiProbe after = ProbeGdi();
  EXPECT_TRUE(GdiHeld(before, after, 2)) << before.slot << " -> " << after.slot;
}

}  // namespace
