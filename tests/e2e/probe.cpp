// Prints, in UTF-8, the message of the box titled Veltranico that the driver
// has seen show: X can't see the text inside a box. Fails (2) when its
// program shows any other window: the box must come alone. While the box is
// up its program waits in it, so no window can come later.
#include <windows.h>

#include <cstdio>

namespace {

DWORD boxProcess = 0;
HWND box = nullptr;
int others = 0;

BOOL CALLBACK CountOthers(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (window != box && process == boxProcess && IsWindowVisible(window)) ++others;
  return TRUE;
}

}  // namespace

int main() {
  box = FindWindowW(L"#32770", L"Veltranico");
  if (!box) return 1;
  wchar_t text[2048] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 2048);
  char utf8[8192] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s\n", utf8);
  GetWindowThreadProcessId(box, &boxProcess);
  EnumWindows(CountOthers, 0);
  return others == 0 ? 0 : 2;
}
