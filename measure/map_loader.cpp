#include "measure/map_loader.h"

#include "common/gdiplus.h"

#include <limits>

#include "common/state.h"
#include "canvas/canvas.h"
#include "canvas/owned.h"
#include "measure/image_fit.h"
#include "measure/long_path.h"

namespace {

using namespace Gdiplus::DllExports;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;
using Gdiplus::GpStatus;

// Old volume-label bit of the find data: such an entry is no file either.
constexpr DWORD kVolumeLabelAttribute = 0x08;

// One owner per GDI+ object, so that every way out of the loader releases it.
using OwnedImage = Owned<GpImage*, GdipDisposeImage>;
using OwnedGraphics = Owned<GpGraphics*, GdipDeleteGraphics>;
using OwnedImageAttributes = Owned<Gdiplus::GpImageAttributes*, GdipDisposeImageAttributes>;

// GDI+ ran short, or a GDI call under it failed: the picture could not be
// made, whatever the file holds.
bool ShortOfResources(GpStatus status) {
  return status == Gdiplus::OutOfMemory || status == Gdiplus::Win32Error;
}

void ReportReadError(const std::wstring& fileName) {
  ShowMessage(L"[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <" + fileName +
              L">");
}

}  // namespace

bool FileExists(const std::wstring& fileName) {
  // A pattern would match some other entry, and a name with a NUL in it
  // would be looked up cut short.
  if (fileName.empty() || fileName.back() == L':' ||
      fileName.find_first_of(std::wstring_view(L"?*\0", 3)) != std::wstring::npos)
    return false;
  WIN32_FIND_DATAW found;
  const OwnedSearch search(FindFirstFileW(ExtendedLengthPath(fileName).c_str(), &found));
  constexpr DWORD kNoFile = FILE_ATTRIBUTE_DIRECTORY | kVolumeLabelAttribute;
  return search && (found.dwFileAttributes & kNoFile) == 0;
}

HBITMAP GraphicLoadImageFileToBitmap(const std::wstring& fileName, uint32_t width,
                                     uint32_t height, uint32_t exactSize, bool* noMemory) {
  if (noMemory) *noMemory = false;
  if (exactSize && (width == 0 || height == 0)) return nullptr;

  if (!FileExists(fileName)) {
    ShowMessage(L"[GraphicLoadImageFileToBitmap] called on <" + fileName + L"> Missing file");
    ExitProcess(0);
  }

  OwnedImage image;
  if (GdipLoadImageFromFile(ExtendedLengthPath(fileName).c_str(), image.Out()) != Gdiplus::Ok) {
    ReportReadError(fileName);
    return nullptr;
  }

  Gdiplus::REAL imageWidth = 0, imageHeight = 0;
  if (GdipGetImageDimension(image.get(), &imageWidth, &imageHeight) != Gdiplus::Ok ||
      !(imageWidth > 0) || !(imageHeight > 0))
    return nullptr;

  const FitSize size = FitImageBox(width, height, imageWidth, imageHeight, exactSize != 0);
  constexpr uint32_t kLargest = std::numeric_limits<int32_t>::max();
  if (size.width > kLargest || size.height > kLargest) return nullptr;
  HBITMAP bitmap = NewBitmap(static_cast<int32_t>(size.width), static_cast<int32_t>(size.height));
  if (!bitmap) {
    if (noMemory) *noMemory = true;
    return nullptr;
  }

  Attach(bitmap);
  Clear(RGB(255, 255, 255));
  GpStatus drawn = Gdiplus::GenericError;
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
    drawn = GdipCreateFromHDC(GetCanvasDC(), graphics.Out());
    if (drawn == Gdiplus::Ok) {
      drawn = GdipDrawImageRectRect(
          graphics.get(), image.get(), 0, 0, static_cast<Gdiplus::REAL>(size.width),
          static_cast<Gdiplus::REAL>(size.height), 0, 0, imageWidth, imageHeight,
          Gdiplus::UnitPixel, edges.get(), nullptr, nullptr);
    }
  }
  image.Reset();

  if (drawn != Gdiplus::Ok) {
    EndBitmap();
    bitmap = nullptr;
    // GDI+ decodes as it draws: a file it opened may still fail here, and
    // then the user hears of it as of any other file it can't read.
    if (ShortOfResources(drawn)) {
      if (noMemory) *noMemory = true;
    } else {
      ReportReadError(fileName);
    }
  }
  Detach();
  return bitmap;
}

HBITMAP LoadMapBitmap(const std::wstring& fileName, bool* noMemory) {
  HBITMAP loaded = GraphicLoadImageFileToBitmap(fileName, kCanvasWidth, kCanvasHeight, 1, noMemory);
  if (!loaded) return nullptr;

  Attach(loaded);
  const SIZE size = GetCanvasSize();
  Detach();
  HBITMAP map = NewBitmap(size.cx, size.cy);
  Attach(map);
  // A new bitmap holds anything until drawn over: a copy that failed would
  // show a black map as if it were the map.
  if (!CopyAll(loaded)) {
    EndBitmap();
    map = nullptr;
    if (noMemory) *noMemory = true;
  }
  Detach();
  Attach(loaded);
  EndBitmap();
  return map;
}
