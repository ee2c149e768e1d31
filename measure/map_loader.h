// Image files into canvas bitmaps, decoded and scaled by GDI+ (which must
// already be started).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// True when the name is that of an existing file: not a folder, not a
// volume label, and not a pattern (no "?" or "*") or a bare drive ("C:").
bool FileExists(const std::wstring& fileName);

// What became of a picture asked for. Only a bitmap or DC that the program
// makes for itself can fail for want of memory; whatever GDI+ can't do with
// the file itself, reading or drawing it, makes it unreadable.
enum class MapLoad { kLoaded, kUnreadable, kNoMemory };

struct [[nodiscard]] LoadedMap {
  HBITMAP bitmap;  // 0 unless loaded
  MapLoad outcome;
};

// Decodes the file and draws it into a new canvas bitmap of width x height.
// With exactSize the image fills that box exactly; without it one side may
// shrink to keep the image's proportions, and a zero side stands for the
// image's own. Returns 0 when no bitmap was made; a file that can't be
// decoded is reported in a message box first. A missing file is reported
// and ends the program.
HBITMAP GraphicLoadImageFileToBitmap(const std::wstring& fileName, uint32_t width,
                                     uint32_t height, uint32_t exactSize);

// The map at canvas size, whatever the file's own proportions. A file that
// can't be read is reported as above; want of memory is left to the caller.
LoadedMap LoadMapBitmap(const std::wstring& fileName);
