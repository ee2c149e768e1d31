// Image files decoded and scaled with GDI+, from images made here with GDI+'s
// own encoders (or written byte by byte where they must be damaged).
#include "measure/map_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/state.h"
#include "canvas/canvas.h"
#include "../support/box_answerer.h"
#include "../support/gdiplus_environment.h"

namespace {

using namespace Gdiplus::DllExports;

bool Reddish(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool Bluish(COLORREF c) { return GetBValue(c) > 200 && GetRValue(c) < 60 && GetGValue(c) < 60; }

CLSID EncoderFor(const std::wstring& mime) {
  UINT count = 0, bytes = 0;
  GdipGetImageEncodersSize(&count, &bytes);
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  GdipGetImageEncoders(count, bytes, codecs);
  for (UINT i = 0; i < count; ++i)
    if (mime == codecs[i].MimeType) return codecs[i].Clsid;
  ADD_FAILURE() << "no GDI+ encoder for " << mime;
  return CLSID{};
}

// A width x height picture, red on its left half and blue on its right.
void SaveHalves(const std::wstring& path, const std::wstring& mime, int width, int height) {
  // The GIF encoder takes palette pictures only.
  const bool indexed = mime == L"image/gif";
  const Gdiplus::PixelFormat format = indexed ? PixelFormat8bppIndexed : PixelFormat24bppRGB;
  Gdiplus::GpBitmap* bitmap = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bitmap), Gdiplus::Ok);
  if (indexed) {
    struct {
      UINT flags, count;
      Gdiplus::ARGB entries[2];
    } palette{0, 2, {0xFFFF0000, 0xFF0000FF}};
    GdipSetImagePalette(bitmap, reinterpret_cast<Gdiplus::ColorPalette*>(&palette));
  }
  Gdiplus::GpRect all(0, 0, width, height);
  Gdiplus::BitmapData data{};
  ASSERT_EQ(GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeWrite, format, &data),
            Gdiplus::Ok);
  for (int y = 0; y < height; ++y) {
    BYTE* row = static_cast<BYTE*>(data.Scan0) + y * data.Stride;
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2;
      if (indexed) {
        row[x] = right;
      } else {
        BYTE* bgr = row + 3 * x;
        bgr[0] = right ? 255 : 0;
        bgr[1] = 0;
        bgr[2] = right ? 0 : 255;
      }
    }
  }
  GdipBitmapUnlockBits(bitmap, &data);
  CLSID encoder = EncoderFor(mime);
  EXPECT_EQ(GdipSaveImageToFile(bitmap, path.c_str(), &encoder, nullptr), Gdiplus::Ok) << mime;
  GdipDisposeImage(bitmap);
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

SIZE SizeOf(HBITMAP bitmap) {
  Attach(bitmap);
  SIZE size = GetCanvasSize();
  Detach();
  return size;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  Attach(bitmap);
  COLORREF c = GetPixel(GetCanvasDC(), x, y);
  Detach();
  return c;
}

void End(HBITMAP bitmap) {
  Attach(bitmap);
  EndBitmap();
}

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"quimbara-loader-" + std::to_wstring(GetCurrentProcessId()) +
              L"\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
    targets_ = GetCanvasCounts().targets;
  }
  void TearDown() override {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it)
      if (!DeleteFileW(it->c_str())) RemoveDirectoryW(it->c_str());
    RemoveDirectoryW(folder_.c_str());
  }
  std::wstring Path(const std::wstring& name) {
    made_.push_back(folder_ + name);
    return made_.back();
  }
  // Canvas targets made since the test began.
  size_t NewTargets() const { return GetCanvasCounts().targets - targets_; }

  std::wstring folder_;
  std::vector<std::wstring> made_;
  size_t targets_ = 0;
};

TEST_F(LoaderTest, DecodesJpegPngBmpAndGifAtTheirOwnSizeOrAnyOther) {
  const std::pair<const wchar_t*, const wchar_t*> formats[] = {
      {L"image/jpeg", L"a.jpg"}, {L"image/png", L"a.png"}, {L"image/bmp", L"a.bmp"},
      {L"image/gif", L"a.gif"}};
  for (auto [mime, name] : formats) {
    SCOPED_TRACE(testing::Message() << name);
    // The map's name says JPEG, but any format GDI+ reads will do.
    const std::wstring file = Path(name);
    SaveHalves(file, mime, 200, 100);
    BoxAnswerer answerer;

    HBITMAP own = GraphicLoadImageFileToBitmap(file, 0, 0, 0);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(SizeOf(own).cx, 200);
    EXPECT_EQ(SizeOf(own).cy, 100);
    EXPECT_TRUE(Reddish(PixelOf(own, 50, 50)));
    EXPECT_TRUE(Bluish(PixelOf(own, 150, 50)));
    End(own);

    HBITMAP map = LoadMapBitmap(file);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(SizeOf(map).cx, kCanvasWidth);
    EXPECT_EQ(SizeOf(map).cy, kCanvasHeight);
    EXPECT_TRUE(Reddish(PixelOf(map, 300, 500)));
    EXPECT_TRUE(Bluish(PixelOf(map, 1000, 500)));
    EXPECT_EQ(NewTargets(), 1u);  // the loader's own bitmap is gone
    End(map);
    EXPECT_TRUE(answerer.seen().empty());
  }
}

TEST_F(LoaderTest, MapIsStretchedToTheCanvasWhateverItsProportions) {
  const std::wstring file = Path(L"square.png");
  SaveHalves(file, L"image/png", 600, 600);
  HBITMAP map = LoadMapBitmap(file);
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(SizeOf(map).cx, kCanvasWidth);
  EXPECT_EQ(SizeOf(map).cy, kCanvasHeight);
  // The middle of 600 lands at 633.5 of 1267, and the picture reaches the
  // bottom and right edges: no white band of a proportional fit.
  EXPECT_TRUE(Reddish(PixelOf(map, 620, 495)));
  EXPECT_TRUE(Bluish(PixelOf(map, 647, 495)));
  EXPECT_TRUE(Reddish(PixelOf(map, 0, 989)));
  EXPECT_TRUE(Bluish(PixelOf(map, 1266, 989)));
  End(map);
}

TEST_F(LoaderTest, KeepsProportionsInsideTheBoxUnlessAskedForTheExactSize) {
  const std::wstring wide = Path(L"wide.png"), small = Path(L"small.png");
  SaveHalves(wide, L"image/png", 2000, 1000);
  SaveHalves(small, L"image/png", 500, 250);
  struct Case {
    std::wstring file;
    uint32_t width, height, exact;
    LONG expectWidth, expectHeight;
  } cases[] = {
      {wide, 1000, 1000, 0, 1000, 500},
      {small, 1000, 1000, 0, 1000, 1000},  // smaller than the box: stretched to it
      {wide, 1000, 1000, 1, 1000, 1000},
      {wide, 0, 400, 0, 800, 400},         // a zero side is the image's own
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file << " in " << c.width << "x" << c.height
                                    << " exact " << c.exact);
    HBITMAP b = GraphicLoadImageFileToBitmap(c.file, c.width, c.height, c.exact);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(SizeOf(b).cx, c.expectWidth);
    EXPECT_EQ(SizeOf(b).cy, c.expectHeight);
    // Drawn over the whole bitmap, not into a corner of it, and right up
    // to its last row and column, with no white fringe.
    EXPECT_TRUE(Reddish(PixelOf(b, 0, c.expectHeight - 1)));
    EXPECT_TRUE(Bluish(PixelOf(b, c.expectWidth - 1, c.expectHeight - 1)));
    End(b);
  }
  EXPECT_EQ(NewTargets(), 0u);
}

TEST_F(LoaderTest, ExactSizeWithAZeroSideGivesNothingBeforeTheFileIsLookedAt) {
  BoxAnswerer answerer;
  // The file doesn't exist: reaching the file test would end this program.
  const std::wstring missing = folder_ + L"no-such-file.jpg";
  EXPECT_EQ(GraphicLoadImageFileToBitmap(missing, 0, 990, 1), nullptr);
  EXPECT_EQ(GraphicLoadImageFileToBitmap(missing, 1267, 0, 1), nullptr);
  EXPECT_TRUE(answerer.seen().empty());
  EXPECT_EQ(NewTargets(), 0u);
}

TEST_F(LoaderTest, FilesThatAreNoImagesAreReportedAndGiveNothing) {
  const std::wstring good = Path(L"good.jpg");
  SaveHalves(good, L"image/jpeg", 400, 300);
  const std::string jpeg = ReadBytes(good);
  ASSERT_GT(jpeg.size(), 600u);

  const std::wstring text = Path(L"text.jpg"), empty = Path(L"empty.jpg"),
                     truncated = Path(L"truncated.jpg");
  WriteBytes(text, "Esto no es una imagen.\r\n");
  WriteBytes(empty, "");
  WriteBytes(truncated, jpeg.substr(0, jpeg.size() / 3));

  // Message boxes are task-modal: the thread's other windows are disabled
  // while one is up.
  HWND other = CreateWindowExW(0, L"STATIC", L"otra", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
  for (const std::wstring& file : {text, empty, truncated}) {
    SCOPED_TRACE(testing::Message() << file);
    BoxAnswerer answerer;
    bool ownerless = false, othersDisabled = false;
    answerer.Inspect([&](HWND box) {
      ownerless = GetWindow(box, GW_OWNER) == nullptr;
      othersDisabled = !IsWindowEnabled(other);
    });
    EXPECT_EQ(LoadMapBitmap(file), nullptr);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].caption, L"Veltranico");
    EXPECT_EQ(answerer.seen()[0].text,
              L"[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <" + file +
                  L">");
    EXPECT_TRUE(ownerless);
    EXPECT_TRUE(othersDisabled);
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_EQ(NewTargets(), 0u);
  }
  DestroyWindow(other);
}

// GDI+ keeps a decoded file open for as long as its image lives.
TEST_F(LoaderTest, TheFileIsLetGoOnceLoaded) {
  const std::wstring file = Path(L"map.jpg");
  SaveHalves(file, L"image/jpeg", 400, 300);
  HBITMAP b = LoadMapBitmap(file);
  ASSERT_NE(b, nullptr);
  End(b);
  EXPECT_TRUE(DeleteFileW(file.c_str()));
}

TEST_F(LoaderTest, FileTestAcceptsOnlyAnExistingFileByItsExactName) {
  const std::wstring file = Path(L"Mapa.jpg");
  WriteBytes(file, "x");
  const std::wstring folder = Path(L"Mapa_Politico_de_Espana.jpg");
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring greekFolder = Path(L"\u039A\u03AC\u03C1\u03C4\u03B1");
  CreateDirectoryW(greekFolder.c_str(), nullptr);
  const std::wstring greekFile = Path(L"\u039A\u03AC\u03C1\u03C4\u03B1\\Mapa.jpg");
  WriteBytes(greekFile, "x");

  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FileExists(greekFile));
  EXPECT_FALSE(FileExists(folder));
  EXPECT_FALSE(FileExists(greekFolder));
  EXPECT_FALSE(FileExists(folder_ + L"Otro.jpg"));
  EXPECT_FALSE(FileExists(L""));
  // Patterns that would match the file above.
  EXPECT_FALSE(FileExists(folder_ + L"Map?.jpg"));
  EXPECT_FALSE(FileExists(folder_ + L"*.jpg"));
  EXPECT_FALSE(FileExists(folder_ + L"Mapa.jp*"));
  EXPECT_FALSE(FileExists(std::wstring(L"C:")));
  EXPECT_FALSE(FileExists(file + L":"));
  // Cut short at the NUL, this would be the file above.
  EXPECT_FALSE(FileExists(file + std::wstring(L"\0.txt", 5)));
}

}  // namespace
