// What every part of the program shares: its state (a handful of
// process-wide values, zero at start), the sizes and ids the window, the
// canvas and the map agree on, and the look of its message boxes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/map_point.h"

extern ULONG_PTR GdiplusToken;
extern HWND MainDialogHandle;
extern WNDPROC OldMapControlProc;
extern HBITMAP CanvasBitmap;   // where each picture is composed
extern HBITMAP MapBitmap;      // the map at canvas size; 0 when it could not be read
extern int32_t SpeedKmh;
extern HWND SavedFocus;        // focus kept while the window is inactive
extern MapPoint StartPoint;
extern MapPoint EndPoint;
extern int32_t Dragging;

constexpr int kCanvasWidth = 1267;
constexpr int kCanvasHeight = 990;
constexpr int ID_MAP = 1001;
constexpr int ID_CREDIT = 1001;
constexpr int ID_SPEED = 1002;

// Every message box of the program looks the same: no owner, one OK button,
// no icon, the caption "Veltranico"; what the user answers changes nothing.
void ShowMessage(const std::wstring& text);
