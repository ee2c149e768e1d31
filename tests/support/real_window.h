// The program's main window, opened in-process as the program opens it (the speed answered
// here) and closed again with everything it made.
#pragma once

#include <windows.h>

#include <tuple>

#include "app/main_window.h"
#include "common/state.h"
#include "canvas/canvas.h"
#include "canvas/counts.h"
#include "box_answerer.h"

// Delivers what is waiting, through the dialog manager as the program's loop does.
inline void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (MainDialogHandle && IsDialogMessageW(MainDialogHandle, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A mouse message to the map control at (x, y), with the left button down but for its release.
inline void Send(HWND map, UINT message, int x, int y) {
  SendMessageW(map, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}

// Every piece of the program's state that opening, using and closing the window may write.
inline auto ProgramState() {
  return std::tie(MainDialogHandle, OldMapControlProc, CanvasBitmap, MapBitmap, SpeedKmh,
                  SavedFocus, StartPoint, EndPoint, Dragging);
}
template <typename... T>
std::tuple<T...> Values(std::tuple<T&...> state) { return state; }

struct RealWindow {
  explicit RealWindow(const wchar_t* speed = L"120") {
    BoxAnswerer answerer({speed});
    answerer.inspect = [this](HWND box) {
      hiddenWhileAsked = window && !IsWindowVisible(window);
      if (HWND text = GetDlgItem(box, 0xFFFF)) messages.push_back(WindowText(text));  // a message box
    };
    window = CreateMainDialog(nullptr);
    if (window) BeginModalRun(window);
    asked = answerer.seen;
    map = GetDlgItem(window, ID_MAP);
    Pump();
  }
  ~RealWindow() {
    for (HWND w : {window, MainDialogHandle})
      if (IsWindow(w)) DestroyWindow(w);
    Pump();
    for (HBITMAP b : {CanvasBitmap, MapBitmap}) {
      Attach(b);
      EndBitmap();
    }
    ProgramState() = before;
  }
  decltype(Values(ProgramState())) before = Values(ProgramState());
  HWND window = nullptr, map = nullptr;
  std::vector<std::wstring> asked;     // what the boxes up to the window showing proposed
  std::vector<std::wstring> messages;  // what the message boxes among them said
  bool hiddenWhileAsked = false;
};

constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0);

// Pixels in an area of dc that are colour c, or with other set, that are not.
inline int CountPixels(HDC dc, RECT area, COLORREF c, bool other = false) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) n += (GetPixel(dc, x, y) == c) != other;
  return n;
}
