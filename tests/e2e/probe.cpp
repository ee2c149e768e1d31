// Prints, in UTF-8, the message of the box titled Veltranico that the driver
// has seen show: X can't see the text inside a box.
#include <windows.h>

#include <cstdio>

int main() {
  HWND box = FindWindowW(L"#32770", L"Veltranico");
  if (!box) return 1;
  wchar_t text[2048] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 2048);
  char utf8[8192] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s\n", utf8);
  return 0;
}
