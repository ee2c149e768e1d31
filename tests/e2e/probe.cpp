// Reads a box's text, which X can't see: probe CAPTION [--ok] waits up to a
// minute for a visible dialog box titled CAPTION, prints its message (UTF-8)
// and, with --ok, presses its OK. Exits 1 when no such box shows.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HWND box = nullptr;
  // A box is filled in before it shows.
  for (int tries = 0; !(box = FindWindowA("#32770", argv[1])) || !IsWindowVisible(box); ++tries) {
    if (tries == 1200) return 1;
    Sleep(50);
  }
  wchar_t text[2048] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 2048);
  char utf8[8192] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s\n", utf8);
  if (argc > 2 && std::strcmp(argv[2], "--ok") == 0) PostMessageW(box, WM_COMMAND, IDOK, 0);
  return 0;
}
