// The program's main window, opened in-process the way the program opens it
// (the speed is asked, and answered here, before the window shows), and
// closed again with everything it made.
#pragma once

#include <windows.h>

#include "app/main_window.h"
#include "app/state.h"
#include "canvas/canvas.h"
#include "box_answerer.h"

// Delivers what is waiting, through the dialog manager as the program's loop does.
inline void Pump() {
  MSG msg;
  for (int i = 0; i < 3; ++i) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!MainDialogHandle || !IsDialogMessageW(MainDialogHandle, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    Sleep(10);
  }
}

class RealWindow {
 public:
  explicit RealWindow(const wchar_t* speed = L"120") {
    BoxAnswerer answerer({speed});
    window = CreateMainDialog(nullptr);
    if (!window) return;
    answerer.Inspect([this](HWND) { hiddenWhileAsked = !IsWindowVisible(window); });
    BeginModalRun(window);
    asked = answerer.seen();
    map = GetDlgItem(window, ID_MAP);
    Pump();
  }
  ~RealWindow() {
    if (IsWindow(window)) DestroyWindow(window);
    Pump();
    for (HBITMAP* b : {&CanvasBitmap, &MapBitmap}) {
      Attach(*b);
      EndBitmap();
      *b = nullptr;
    }
  }
  RealWindow(const RealWindow&) = delete;
  RealWindow& operator=(const RealWindow&) = delete;

  HWND window = nullptr;
  HWND map = nullptr;
  std::vector<SeenBox> asked;  // the boxes up to the window showing
  bool hiddenWhileAsked = false;
};

// GDI objects the process holds. GetGuiResources answers on Windows; Wine
// has only a stub that returns 0. There, as a test-only stand-in, look at
// which slot of Wine's handle table a fresh object takes: freed slots are
// handed out again first, so leaked objects push new handles further on.
struct GdiProbe {
  DWORD count;  // 0 under Wine
  unsigned slot;
};

inline GdiProbe ProbeGdi() {
  HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
  const unsigned slot = LOWORD(reinterpret_cast<UINT_PTR>(b));
  DeleteObject(b);
  return GdiProbe{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), slot};
}

// True when at most `allowed` objects more are held than at `before`. Under
// Wine the probe can only see growth of a thousand or so.
inline bool GdiHeld(const GdiProbe& before, const GdiProbe& after, DWORD allowed) {
  if (before.count != 0) return after.count <= before.count + allowed;
  return after.slot < before.slot + 1000;
}
