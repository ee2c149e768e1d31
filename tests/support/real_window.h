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
  for (int i = 0; i < 3; ++i, Sleep(10)) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (MainDialogHandle && IsDialogMessageW(MainDialogHandle, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

struct RealWindow {
  explicit RealWindow(const wchar_t* speed = L"120") {
    BoxAnswerer answerer({speed});
    window = CreateMainDialog(nullptr);
    answerer.Inspect([this](HWND) { hiddenWhileAsked = !IsWindowVisible(window); });
    if (window) BeginModalRun(window);
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
  HWND window = nullptr;
  HWND map = nullptr;
  std::vector<SeenBox> asked;  // the boxes up to the window showing
  bool hiddenWhileAsked = false;
};

// Whether the process holds at most `allowed` more GDI objects after `run`.
// GetGuiResources answers on Windows; under Wine it is a stub that returns
// 0, and as a test-only stand-in we look at which slot of Wine's handle table
// a fresh object takes: freed slots are handed out again first, so leaked
// objects push new handles further on (a thousand or so shows).
template <typename Run>
bool HoldsNoMoreGdiAfter(Run run, DWORD allowed = 2) {
  auto probe = [] {
    HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
    DeleteObject(b);
    return std::pair{GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), LOWORD(reinterpret_cast<UINT_PTR>(b))};
  };
  const auto before = probe();
  run();
  const auto after = probe();
  return before.first != 0 ? after.first <= before.first + allowed : after.second < before.second + 1000;
}
