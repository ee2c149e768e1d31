// Image files into canvas bitmaps, decoded and scaled by GDI+ (which must
// already be started).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// True when the name is that of an existing file: not a folder, not a
// volume label, and not a pattern (no "?" or "*") or a bare drive ("C:").
bool FileExists(const std::wstring& fileName);

// Decodes the file and draws it into a new canvas bitmap of width x height.
// With exactSize the image fills that box exactly; without it one side may
// shrink to keep the image's proportions, and a zero side stands for the
// image's own. Returns 0 when no bitmap was made; a file that can't be
// decoded is reported in a message box first. A missing file is reported
// and ends the program. `noMemory`, if given, tells a load that failed for
// want of memory or GDI objects, which is left to the caller to report.
HBITMAP GraphicLoadImageFileToBitmap(const std::wstring& fileName, uint32_t width,
                                     uint32_t height, uint32_t exactSize,
                                     bool* noMemory = nullptr);

// The map at canvas size, whatever the file's own proportions; 0 when it
// could not be read, and `noMemory` as above.
HBITMAP LoadMapBitmap(const std::wstring& fileName, bool* noMemory = nullptr);
