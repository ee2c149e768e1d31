// The program's state: a handful of process-wide values, zero at start.
#pragma once

#include <windows.h>

#include <cstdint>

#include "measure/distance.h"

inline ULONG_PTR GdiplusToken = 0;
inline HWND MainDialogHandle = nullptr;
inline WNDPROC OldMapControlProc = nullptr;
inline HBITMAP CanvasBitmap = nullptr;   // where each picture is composed
inline HBITMAP MapBitmap = nullptr;      // the map at canvas size; 0 when it could not be read
inline int32_t SpeedKmh = 0;
inline HWND SavedFocus = nullptr;        // focus kept while the window is inactive
inline MapPoint StartPoint{0, 0};
inline MapPoint EndPoint{0, 0};
inline int32_t Dragging = 0;

// Sizes and ids the window, the canvas and the map share.
constexpr int kCanvasWidth = 1267;
constexpr int kCanvasHeight = 990;
constexpr int ID_MAP = 1001;
constexpr int ID_CREDIT = 1001;
constexpr int ID_SPEED = 1002;

// Every message box of the program looks the same: no owner, one OK button.
constexpr UINT kMessageBoxStyle = MB_SETFOREGROUND | MB_TASKMODAL;
static_assert(kMessageBoxStyle == 0x12000);
constexpr wchar_t kMessageCaption[] = L"Veltranico";
