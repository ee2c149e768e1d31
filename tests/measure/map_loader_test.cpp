// Image files decoded and scaled with GDI+, from pictures made here with
// GDI+'s own encoders (or written byte by byte where they must be damaged).
#include "measure/map_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "../support/box_answerer.h"
#include "../support/gdiplus_environment.h"

namespace {

using namespace Gdiplus::DllExports;

bool Reddish(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool Bluish(COLORREF c) { return GetBValue(c) > 200 && GetRValue(c) < 60 && GetGValue(c) < 60; }

// A width x height picture, red on its left half and blue on its right, in
// the format of the given MIME type.
void SaveHalves(const std::wstring& path, const wchar_t* mime, int width, int height) {
  Gdiplus::GpBitmap* bitmap = nullptr;
  GdipCreateBitmapFromScan0(width, height, 0, PixelFormat24bppRGB, nullptr, &bitmap);
  Gdiplus::GpGraphics* graphics = nullptr;
  GdipGetImageGraphicsContext(bitmap, &graphics);
  for (auto [argb, left] : {std::pair{0xFFFF0000u, 0}, std::pair{0xFF0000FFu, width / 2}}) {
    Gdiplus::GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(argb, &brush);
    GdipFillRectangleI(graphics, brush, left, 0, width - width / 2, height);
    GdipDeleteBrush(brush);
  }
  GdipDeleteGraphics(graphics);
  UINT count = 0, bytes = 0;
  GdipGetImageEncodersSize(&count, &bytes);
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  GdipGetImageEncoders(count, bytes, codecs);
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(mime) == codecs[i].MimeType) {
      EXPECT_EQ(GdipSaveImageToFile(bitmap, path.c_str(), &codecs[i].Clsid, nullptr), Gdiplus::Ok);
    }
  }
  GdipDisposeImage(bitmap);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// Size and two pixels of a loaded bitmap, which is then ended.
struct Loaded {
  SIZE size;
  COLORREF bottomLeft, bottomRight;
};
Loaded Take(HBITMAP bitmap) {
  Attach(bitmap);
  const SIZE s = GetCanvasSize();
  const Loaded loaded{s, GetPixel(GetCanvasDC(), 0, s.cy - 1), GetPixel(GetCanvasDC(), s.cx - 1, s.cy - 1)};
  EndBitmap();
  return loaded;
}

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"quimbara-loader-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
    targets_ = GetCanvasCounts().targets;
  }
  void TearDown() override {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it)
      if (!DeleteFileW(it->c_str())) RemoveDirectoryW(it->c_str());
    RemoveDirectoryW(folder_.c_str());
    // Whatever the loader made for itself is gone.
    EXPECT_EQ(GetCanvasCounts().targets, targets_);
  }
  std::wstring Path(const std::wstring& name) {
    made_.push_back(folder_ + name);
    return made_.back();
  }
  std::wstring folder_;
  std::vector<std::wstring> made_;
  size_t targets_ = 0;
};

TEST_F(LoaderTest, SizesForEachFormatAndBox) {
  const struct {
    const wchar_t* mime;
    int imageWidth, imageHeight;
    uint32_t width, height, exact;  // exact 2: the map, through LoadMapBitmap
    LONG expectWidth, expectHeight;
  } cases[] = {
      {L"image/jpeg", 200, 100, 0, 0, 0, 200, 100},  // a zero side is the image's own
      {L"image/png", 200, 100, 0, 0, 0, 200, 100},
      {L"image/bmp", 200, 100, 0, 0, 0, 200, 100},
      {L"image/png", 2000, 1000, 1000, 1000, 0, 1000, 500},
      {L"image/png", 500, 250, 1000, 1000, 0, 1000, 1000},  // smaller than the box: stretched
      {L"image/png", 2000, 1000, 1000, 1000, 1, 1000, 1000},
      {L"image/png", 2000, 1000, 0, 400, 0, 800, 400},
      {L"image/bmp", 200, 100, 0, 0, 2, kCanvasWidth, kCanvasHeight},
      {L"image/png", 600, 600, 0, 0, 2, kCanvasWidth, kCanvasHeight},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mime << " " << c.imageWidth << " in " << c.width << "x" << c.height
                                    << " exact " << c.exact);
    BoxAnswerer answerer;
    const std::wstring file = Path(L"halves" + std::to_wstring(made_.size()));
    SaveHalves(file, c.mime, c.imageWidth, c.imageHeight);
    HBITMAP b = c.exact == 2 ? LoadMapBitmap(file)
                             : GraphicLoadImageFileToBitmap(file, c.width, c.height, c.exact);
    ASSERT_NE(b, nullptr);
    // Drawn over the whole bitmap, right up to its last row and column.
    const Loaded loaded = Take(b);
    EXPECT_EQ(loaded.size.cx, c.expectWidth);
    EXPECT_EQ(loaded.size.cy, c.expectHeight);
    EXPECT_TRUE(Reddish(loaded.bottomLeft));
    EXPECT_TRUE(Bluish(loaded.bottomRight));
    EXPECT_TRUE(answerer.seen().empty());
  }
  // GDI+ keeps a decoded file open as long as its image lives.
  EXPECT_TRUE(DeleteFileW(made_.back().c_str()));
}

TEST_F(LoaderTest, ExactSizeWithAZeroSideGivesNothingBeforeTheFileIsLookedAt) {
  BoxAnswerer answerer;
  // The file doesn't exist: reaching the file test would end this program.
  EXPECT_EQ(GraphicLoadImageFileToBitmap(folder_ + L"no.jpg", 0, 990, 1), nullptr);
  EXPECT_EQ(GraphicLoadImageFileToBitmap(folder_ + L"no.jpg", 1267, 0, 1), nullptr);
  EXPECT_TRUE(answerer.seen().empty());
}

TEST_F(LoaderTest, FilesThatAreNoImagesAreReportedAndGiveNothing) {
  const std::wstring good = Path(L"good.jpg");
  SaveHalves(good, L"image/jpeg", 400, 300);
  HANDLE file = CreateFileW(good.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  std::string jpeg(GetFileSize(file, nullptr) / 3, '\0');
  DWORD read = 0;
  ReadFile(file, jpeg.data(), static_cast<DWORD>(jpeg.size()), &read, nullptr);
  CloseHandle(file);

  // Message boxes are task-modal: the thread's other windows are disabled meanwhile.
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  for (const std::string& bytes : {std::string("Esto no es una imagen.\r\n"), std::string(), jpeg}) {
    const std::wstring damaged = Path(L"damaged" + std::to_wstring(bytes.size()) + L".jpg");
    WriteBytes(damaged, bytes);
    BoxAnswerer answerer;
    bool ownerless = false, othersDisabled = false;
    answerer.Inspect([&](HWND box) {
      ownerless = GetWindow(box, GW_OWNER) == nullptr;
      othersDisabled = !IsWindowEnabled(other);
    });
    EXPECT_EQ(LoadMapBitmap(damaged), nullptr);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].caption, L"Veltranico");
    EXPECT_EQ(answerer.seen()[0].text,
              L"[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <" + damaged + L">");
    EXPECT_TRUE(ownerless);
    EXPECT_TRUE(othersDisabled);
    EXPECT_TRUE(IsWindowEnabled(other));
  }
  DestroyWindow(other);
}

TEST_F(LoaderTest, FileTestAcceptsOnlyAnExistingFileByItsExactName) {
  const std::wstring file = Path(L"Mapa.jpg"), greek = Path(L"\u039A\u03AC\u03C1\u03C4\u03B1");
  WriteBytes(file, "x");
  CreateDirectoryW(greek.c_str(), nullptr);
  const std::wstring greekFile = Path(greek.substr(folder_.size()) + L"\\Mapa.jpg");
  WriteBytes(greekFile, "x");
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(greekFile));
  const std::wstring no[] = {
      greek, folder_, folder_ + L"Otro.jpg", L"", L"C:", file + L":",
      folder_ + L"Map?.jpg", folder_ + L"*.jpg", folder_ + L"Mapa.jp*",  // patterns that would match
      file + std::wstring(L"\0.txt", 5),  // cut short at the NUL, this would be the file
  };
  for (const std::wstring& name : no) EXPECT_FALSE(FileExists(name)) << name.c_str();
}

}  // namespace
