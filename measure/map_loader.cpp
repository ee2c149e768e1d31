#include "measure/map_loader.h"

#include "common/gdiplus.h"

#include <limits>

#include "common/state.h"
#include "canvas/canvas.h"
#include "canvas/owned.h"
#include "measure/image_fit.h"

namespace {

using namespace Gdiplus::DllExports;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;

// Old volume-label bit of the find data: such an entry is no file either.
constexpr DWORD kVolumeLabelAttribute = 0x08;

// One owner per GDI+ object, so that every way out of the loader releases it.
using OwnedImage = Owned<GpImage*, GdipDisposeImage>;
using OwnedGraphics = Owned<GpGraphics*, GdipDeleteGraphics>;
using OwnedImageAttributes = Owned<Gdiplus::GpImageAttributes*, GdipDisposeImageAttributes>;

LoadedMap Unreadable(const std::wstring& fileName) {
  ShowMessage(L"[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <" + fileName +
              L">");
  return {nullptr, MapLoad::kUnreadable};
}

}  // namespace

bool FileExists(const std::wstring& fileName) {
  // A pattern would match some other entry, and a name with a NUL in it
  // would be looked up cut short.
  if (fileName.empty() || fileName.back() == L':' ||
      fileName.find_first_of(std::wstring_view(L"?*\0", 3)) != std::wstring::npos)
    return false;
  WIN32_FIND_DATAW found;
  const OwnedSearch search(FindFirstFileW(fileName.c_str(), &found));
  constexpr DWORD kNoFile = FILE_ATTRIBUTE_DIRECTORY | kVolumeLabelAttribute;
  return search && (found.dwFileAttributes & kNoFile) == 0;
}

namespace {

// Tells the user of a missing or unreadable file itself; want of memory is
// the caller's to tell.
LoadedMap LoadImageFile(const std::wstring& fileName, uint32_t width, uint32_t height,
                        bool exactSize) {
  if (!FileExists(fileName)) {
    ShowMessage(L"[GraphicLoadImageFileToBitmap] called on <" + fileName + L"> Missing file");
    ExitProcess(0);
  }

  // Windows' GDI+ says OutOfMemory for data it can't decode, and decodes a JPEG only as it draws.
  OwnedImage image;
  if (GdipLoadImageFromFile(fileName.c_str(), image.Out()) != Gdiplus::Ok)
    return Unreadable(fileName);

  Gdiplus::REAL imageWidth = 0, imageHeight = 0;
  if (GdipGetImageDimension(image.get(), &imageWidth, &imageHeight) != Gdiplus::Ok ||
      !(imageWidth > 0) || !(imageHeight > 0))
    return Unreadable(fileName);

  const FitSize size = FitImageBox(width, height, imageWidth, imageHeight, exactSize);
  // No bitmap can be larger.
  constexpr uint32_t kLargest = std::numeric_limits<int32_t>::max();
  if (size.width > kLargest || size.height > kLargest) return {nullptr, MapLoad::kNoMemory};
  HBITMAP bitmap = NewBitmap(static_cast<int32_t>(size.width), static_cast<int32_t>(size.height));
  if (!bitmap) return {nullptr, MapLoad::kNoMemory};

  Attach(bitmap);
  Clear(RGB(255, 255, 255));
  MapLoad outcome = MapLoad::kLoaded;
  {
    OwnedGraphics graphics;
    // Left to itself, GDI+ blends the last row and column of an enlarged
    // picture with the nothing beyond its edge: a white fringe, and a 1x1
    // picture drawn as a fade to white. Mirroring the edge pixels outwards
    // keeps every pixel the picture's own. A picture drawn at its own size,
    // as the shipped map is, has no fringe to mend: there the mirroring
    // would only turn GDI+'s plain copy into a drawing four times as slow.
    OwnedImageAttributes edges;
    const bool ownSize = size.width == imageWidth && size.height == imageHeight;
    if (!ownSize && GdipCreateImageAttributes(edges.Out()) == Gdiplus::Ok)
      GdipSetImageAttributesWrapMode(edges.get(), Gdiplus::WrapModeTileFlipXY, 0, FALSE);
    if (GdipCreateFromHDC(GetCanvasDC(), graphics.Out()) != Gdiplus::Ok) {
      outcome = MapLoad::kNoMemory;
    } else if (GdipDrawImageRectRect(graphics.get(), image.get(), 0, 0,
                                     static_cast<Gdiplus::REAL>(size.width),
                                     static_cast<Gdiplus::REAL>(size.height), 0, 0, imageWidth,
                                     imageHeight, Gdiplus::UnitPixel, edges.get(), nullptr,
                                     nullptr) != Gdiplus::Ok) {
      outcome = MapLoad::kUnreadable;
    }
  }
  image.Reset();

  if (outcome != MapLoad::kLoaded) {
    EndBitmap();
    bitmap = nullptr;
  }
  Detach();
  if (outcome == MapLoad::kUnreadable) return Unreadable(fileName);
  return {bitmap, outcome};
}

}  // namespace

HBITMAP GraphicLoadImageFileToBitmap(const std::wstring& fileName, uint32_t width,
                                     uint32_t height, uint32_t exactSize) {
  if (exactSize && (width == 0 || height == 0)) return nullptr;
  return LoadImageFile(fileName, width, height, exactSize != 0).bitmap;
}

LoadedMap LoadMapBitmap(const std::wstring& fileName) {
  const LoadedMap loaded = LoadImageFile(fileName, kCanvasWidth, kCanvasHeight, true);
  if (!loaded.bitmap) return loaded;

  Attach(loaded.bitmap);
  const SIZE size = GetCanvasSize();
  Detach();
  HBITMAP map = NewBitmap(size.cx, size.cy);
  Attach(map);
  // A new bitmap holds anything until drawn over: a copy that failed would
  // show a black map as if it were the map.
  const bool copied = CopyAll(loaded.bitmap);
  if (!copied) EndBitmap();
  Detach();
  Attach(loaded.bitmap);
  EndBitmap();
  if (!copied) return {nullptr, MapLoad::kNoMemory};
  return {map, MapLoad::kLoaded};
}
