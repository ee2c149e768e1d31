// What the driver can't learn through X, asked inside Wine:
//   probe          prints, in UTF-8, the message of the box titled Veltranico
//                  (X can't see inside it); fails (2) when its program shows
//                  any other window: the box must come alone.
//   probe origin   prints "X Y", where the map's top-left pixel is on the screen.
//   probe panel DISTANCE TIME
//                  fails (1) unless the screen shows the panel reading those
//                  two lines, as plain GDI draws it, over the map's corner.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "common/state.h"
#include "../support/expected_panel.h"

// Windows Vista's, which the program's XP headers leave out.
extern "C" __declspec(dllimport) BOOL WINAPI SetProcessDPIAware();

namespace {

HWND box = nullptr;
DWORD boxProcess = 0;
int others = 0;

// While its box is up the program waits in it: no window can come later.
BOOL CALLBACK CountOthers(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  others += window != box && process == boxProcess && IsWindowVisible(window);
  return TRUE;
}

int ReadBox() {
  if (!(box = FindWindowW(L"#32770", L"Veltranico"))) return 1;
  wchar_t text[2048] = {};
  char utf8[8192] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 2048);
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s\n", utf8);
  GetWindowThreadProcessId(box, &boxProcess);
  EnumWindows(CountOthers, 0);
  return others == 0 ? 0 : 2;
}

// Where the map's top-left pixel is on the screen: the bars above it grow with the DPI.
bool MapOrigin(POINT& origin) {
  HWND map = GetDlgItem(FindWindowW(L"#32770", L"Quimbara"), ID_MAP);
  return map && ClientToScreen(map, &origin);
}

int PrintOrigin() {
  POINT origin{0, 0};
  if (!MapOrigin(origin)) return 1;
  std::printf("%ld %ld\n", origin.x, origin.y);
  return 0;
}

int ComparePanel(wchar_t** argv) {
  POINT origin{0, 0};
  if (!MapOrigin(origin)) return 1;
  HDC screen = GetDC(nullptr);
  const int differ = PanelDifference(screen, origin, argv[2], argv[3]);
  ReleaseDC(nullptr, screen);
  std::printf("%d pixels differ\n", differ);
  return differ == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // DPI aware, as the program is: screen positions in real pixels, and the same drawing.
  SetProcessDPIAware();
  if (argc == 1) return ReadBox();
  if (argc == 2 && std::wcscmp(argv[1], L"origin") == 0) return PrintOrigin();
  if (argc == 4 && std::wcscmp(argv[1], L"panel") == 0) return ComparePanel(argv);
  std::fprintf(stderr, "usage: probe [origin | panel DISTANCE TIME]\n");
  return 64;
}
