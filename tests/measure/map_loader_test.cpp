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

// A PNG picture red on its left half and blue on its right. The program reads
// any format through the same call, so one format is enough.
void SaveHalves(const std::wstring& path, int width, int height) {
  Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppRGB);
  Gdiplus::SolidBrush red(Gdiplus::Color(255, 0, 0)), blue(Gdiplus::Color(0, 0, 255));
  Gdiplus::Graphics(&bitmap).FillRectangle(&red, 0, 0, width / 2, height);
  Gdiplus::Graphics(&bitmap).FillRectangle(&blue, width / 2, 0, width - width / 2, height);
  const CLSID png{0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
  EXPECT_EQ(bitmap.Save(path.c_str(), &png, nullptr), Gdiplus::Ok);
}

// Files in a folder of their own, removed afterwards; whatever the loader
// made for itself must be gone by then too.
class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    EXPECT_EQ(GetCanvasCounts().targets, targets_);
  }
  std::wstring folder_ = L"quimbara-loader-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  size_t targets_ = GetCanvasCounts().targets;
};

TEST_F(LoaderTest, SizesForEachBox) {
  const struct {
    int imageWidth, imageHeight;
    uint32_t width, height;
    bool map;  // through LoadMapBitmap, which asks for the canvas size exactly
    LONG expectWidth, expectHeight;
  } cases[] = {
      {500, 250, 1000, 1000, false, 1000, 1000},  // smaller: stretched
      {2000, 1600, 0, 0, true, kCanvasWidth, kCanvasHeight},
  };
  std::wstring file;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.imageWidth << "x" << c.imageHeight);
    BoxAnswerer answerer;
    file = folder_ + std::to_wstring(c.imageWidth) + L"x" + std::to_wstring(c.imageHeight);
    SaveHalves(file, c.imageWidth, c.imageHeight);
    Attach(c.map ? LoadMapBitmap(file).bitmap : GraphicLoadImageFileToBitmap(file, c.width, c.height, 0));
    const SIZE size = GetCanvasSize();
    EXPECT_EQ(size.cx, c.expectWidth);
    EXPECT_EQ(size.cy, c.expectHeight);
    // Drawn over the whole bitmap, right up to its last row and column.
    EXPECT_EQ(GetPixel(GetCanvasDC(), 0, size.cy - 1) & 0xC0C0C0, 0x0000C0u);
    EXPECT_EQ(GetPixel(GetCanvasDC(), size.cx - 1, size.cy - 1) & 0xC0C0C0, 0xC00000u);
    EndBitmap();
    EXPECT_TRUE(answerer.seen().empty());
  }
  // GDI+ keeps a decoded file open as long as its image lives.
  EXPECT_TRUE(DeleteFileW(file.c_str()));

  // Exact size with a zero side gives nothing, before the file test (which
  // would end this program on a missing file).
  BoxAnswerer answerer;
  EXPECT_EQ(GraphicLoadImageFileToBitmap(folder_ + L"no.jpg", 0, 990, 1), nullptr);
}

// At its own size a picture comes out pixel for pixel, its last row and
// column included: nothing blurred, shifted or faded at the edge.
TEST_F(LoaderTest, AtItsOwnSizeEveryPixelIsThePictures) {
  SaveHalves(folder_ + L"halves", 37, 23);
  Attach(GraphicLoadImageFileToBitmap(folder_ + L"halves", 0, 0, 0));
  EXPECT_EQ(CountPixels(GetCanvasDC(), {0, 0, 18, 23}, kRed) +
                CountPixels(GetCanvasDC(), {18, 0, 37, 23}, RGB(0, 0, 255)), 37 * 23);
  EndBitmap();
}

// Stands in for a GDI+ import, with its exact type, calling convention included.
template <typename... A>
Gdiplus::GpStatus WINGDIPAPI SaysOutOfMemory(A...) { return Gdiplus::OutOfMemory; }
template <typename... A>
void* StandIn(Gdiplus::GpStatus(WINGDIPAPI*)(A...)) {
  return reinterpret_cast<void*>(&SaysOutOfMemory<A...>);
}

// Windows' GDI+ says OutOfMemory for a picture it can't decode: a read error, told in a box.
TEST_F(LoaderTest, WhatGdiPlusCantReadOrDrawIsAReadError) {
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, 0, 0, 0, nullptr);
  std::ofstream(std::filesystem::path(folder_ + L"text.jpg")) << "Esto no es una imagen.";
  SaveHalves(folder_ + L"halves.png", 8, 8);
  using namespace Gdiplus::DllExports;
  const struct { const wchar_t* file; const char* failing; void* standIn; MapLoad outcome; } cases[] = {
      {L"text.jpg", "", nullptr, MapLoad::kUnreadable},
      {L"halves.png", "GdipGetImageDimension", StandIn(&GdipGetImageDimension), MapLoad::kUnreadable},
      {L"halves.png", "GdipDrawImageRectRect", StandIn(&GdipDrawImageRectRect), MapLoad::kUnreadable},
      {L"halves.png", "GdipCreateFromHDC", StandIn(&GdipCreateFromHDC), MapLoad::kNoMemory},
  };
  const std::wstring readError =
      L"[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <" + folder_;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failing);
    const ImportPatch patch("gdiplus.dll", c.failing, c.standIn);
    BoxAnswerer answerer;
    bool taskModal = false;  // no owner, and the thread's other windows disabled meanwhile
    answerer.Inspect([&](HWND box) { taskModal = !GetWindow(box, GW_OWNER) && !IsWindowEnabled(other); });
    EXPECT_EQ(LoadMapBitmap(folder_ + c.file).outcome, c.outcome);
    const bool told = c.outcome == MapLoad::kUnreadable;
    EXPECT_EQ(answerer.seen(), std::vector<std::wstring>(told, readError + c.file + L">"));
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
