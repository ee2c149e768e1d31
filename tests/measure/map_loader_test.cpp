// Image files decoded and scaled with GDI+, from pictures made here.
#include "measure/map_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../support/import_patch.h"
#include "../support/real_window.h"
#include "common/gdiplus.h"

namespace {

// Files in a folder of their own, removed afterwards; whatever the loader made for itself must
// be gone by then too.
class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(folder_); }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    EXPECT_EQ(GetCanvasCounts().targets, targets_);
  }
  // A PNG, red on its left half and blue on its right: every format goes through the same call.
  std::wstring Halves(int width, int height) {
    const std::wstring path = folder_ + std::to_wstring(width) + L"x" + std::to_wstring(height);
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppRGB);
    Gdiplus::SolidBrush red(Gdiplus::Color(255, 0, 0)), blue(Gdiplus::Color(0, 0, 255));
    Gdiplus::Graphics(&bitmap).FillRectangle(&red, 0, 0, width / 2, height);
    Gdiplus::Graphics(&bitmap).FillRectangle(&blue, width / 2, 0, width - width / 2, height);
    const CLSID png{0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    EXPECT_EQ(bitmap.Save(path.c_str(), &png, nullptr), Gdiplus::Ok);
    return path;
  }
  std::wstring folder_ = L"quimbara-loader-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  size_t targets_ = GetCanvasCounts().targets;
};

// Drawn over the whole bitmap asked for, up to its last row and column, without a box.
TEST_F(LoaderTest, FillsTheBitmapOfTheSizeAskedFor) {
  BoxAnswerer answerer;
  const std::wstring small = Halves(500, 250);
  const std::pair<HBITMAP, SIZE> cases[] = {
      {GraphicLoadImageFileToBitmap(small, 1000, 1000, 0), {1000, 1000}},  // smaller: stretched
      {LoadMapBitmap(Halves(2000, 1600)).bitmap, {kCanvasWidth, kCanvasHeight}},
  };
  for (const auto& [bitmap, expected] : cases) {
    Attach(bitmap);
    const SIZE size = GetCanvasSize();
    EXPECT_TRUE(size.cx == expected.cx && size.cy == expected.cy) << size.cx << "x" << size.cy;
    EXPECT_EQ(GetPixel(GetCanvasDC(), 0, size.cy - 1) & 0xC0C0C0, 0x0000C0u);
    EXPECT_EQ(GetPixel(GetCanvasDC(), size.cx - 1, size.cy - 1) & 0xC0C0C0, 0xC00000u);
    EndBitmap();
  }
  EXPECT_TRUE(DeleteFileW(small.c_str()));  // GDI+ keeps a file open as long as its image lives
  // At its own size, every pixel the picture's: nothing blurred, shifted or faded at the edge.
  Attach(GraphicLoadImageFileToBitmap(Halves(37, 23), 0, 0, 0));
  EXPECT_EQ(CountPixels(GetCanvasDC(), {0, 0, 18, 23}, kRed) +
                CountPixels(GetCanvasDC(), {18, 0, 37, 23}, RGB(0, 0, 255)), 37 * 23);
  EndBitmap();
  // Exact size with a zero side gives nothing, before the file test (which would end this
  // program on a missing file).
  EXPECT_EQ(GraphicLoadImageFileToBitmap(folder_ + L"no.jpg", 0, 990, 1), nullptr);
  EXPECT_TRUE(answerer.seen.empty());
}

// Stands in for a GDI+ import, with its exact type, calling convention included.
template <typename... A>
Gdiplus::GpStatus WINGDIPAPI SaysOutOfMemory(A...) { return Gdiplus::OutOfMemory; }
template <typename... A>
void* StandIn(Gdiplus::GpStatus(WINGDIPAPI*)(A...)) {
  return reinterpret_cast<void*>(&SaysOutOfMemory<A...>);
}

// Windows' GDI+ says OutOfMemory for a picture it can't decode: a read error, told in a box
// with no owner that keeps the thread's other windows disabled meanwhile.
TEST_F(LoaderTest, WhatGdiPlusCantReadOrDrawIsAReadError) {
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, 0, 0, 0, nullptr);
  const std::wstring text = folder_ + L"text.jpg", halves = Halves(8, 8);
  std::ofstream(std::filesystem::path(text)) << "Esto no es una imagen.";
  using namespace Gdiplus::DllExports;
  const struct { std::wstring file; const char* failing; void* standIn; MapLoad outcome; } cases[] = {
      {text, "", nullptr, MapLoad::kUnreadable},
      {halves, "GdipGetImageDimension", StandIn(&GdipGetImageDimension), MapLoad::kUnreadable},
      {halves, "GdipCreateFromHDC", StandIn(&GdipCreateFromHDC), MapLoad::kNoMemory},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failing);
    const ImportPatch patch("gdiplus.dll", c.failing, c.standIn);
    BoxAnswerer answerer;
    bool taskModal = false;
    answerer.inspect = [&](HWND box) { taskModal = !GetWindow(box, GW_OWNER) && !IsWindowEnabled(other); };
    EXPECT_EQ(LoadMapBitmap(c.file).outcome, c.outcome);
    const bool told = c.outcome == MapLoad::kUnreadable;
    const std::wstring box = L"[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <";
    EXPECT_EQ(answerer.seen, std::vector<std::wstring>(told, box + c.file + L">"));
    EXPECT_EQ(taskModal, told);
  }
  DestroyWindow(other);
}

TEST_F(LoaderTest, FileTestAcceptsOnlyAnExistingFileByItsExactName) {
  const std::wstring file = folder_ + L"Mapa.jpg";
  const std::wstring greek = folder_ + L"\u039A\u03AC\u03C1\u03C4\u03B1";  // a folder
  std::ofstream(std::filesystem::path(file)) << "x";
  CreateDirectoryW(greek.c_str(), nullptr);
  EXPECT_TRUE(FileExists(file));
  const std::wstring no[] = {
      greek, folder_ + L"Otro.jpg", L"", L"C:", file + L":",
      folder_ + L"Map?.jpg", folder_ + L"*.jpg", folder_ + L"Mapa.jp*",  // patterns that would match
      file + std::wstring(L"\0.txt", 5),  // cut short at the NUL, this would be the file
  };
  for (const std::wstring& name : no) EXPECT_FALSE(FileExists(name)) << name.c_str();
}

}  // namespace
