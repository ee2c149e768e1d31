#include "common/state.h"

ULONG_PTR GdiplusToken = 0;
HWND MainDialogHandle = nullptr;
WNDPROC OldMapControlProc = nullptr;
HBITMAP CanvasBitmap = nullptr;
HBITMAP MapBitmap = nullptr;
int32_t SpeedKmh = 0;
HWND SavedFocus = nullptr;
MapPoint StartPoint{0, 0};
MapPoint EndPoint{0, 0};
int32_t Dragging = 0;

namespace {
constexpr UINT kMessageBoxStyle = MB_SETFOREGROUND | MB_TASKMODAL;
static_assert(kMessageBoxStyle == 0x12000);
}  // namespace

void ShowMessage(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), L"Veltranico", kMessageBoxStyle);
}
