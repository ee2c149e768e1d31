// Reads what the end-to-end driver can't see from X: run under Wine beside
// the program, it looks at the program's windows through USER32.
//   probe box CAPTION SECONDS [--ok]: waits for a visible dialog box titled
//     CAPTION, prints its message (UTF-8, one line) and, with --ok, presses OK.
//   probe origin CAPTION: prints where the client area of the window titled
//     CAPTION is on the screen, as "x y".
// Exits 1 when there is no such window.
#include <windows.h>

#include <string>

namespace {

void Print(std::wstring text) {
  text += L'\n';
  std::string utf8(4 * text.size(), '\0');
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(),
                                       static_cast<int>(utf8.size()), nullptr, nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), size, &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 2 ? argv[1] : L"";
  if (command == L"origin") {
    HWND window = FindWindowW(nullptr, argv[2]);
    POINT origin{0, 0};
    if (!window || !ClientToScreen(window, &origin)) return 1;
    Print(std::to_wstring(origin.x) + L" " + std::to_wstring(origin.y));
    return 0;
  }
  if (command != L"box" || argc < 4) return 2;
  // A box is filled in before it shows.
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(_wtof(argv[3]) * 1000);
  HWND box = nullptr;
  while (!(box = FindWindowW(L"#32770", argv[2])) || !IsWindowVisible(box)) {
    if (GetTickCount64() > deadline) return 1;
    Sleep(50);
  }
  wchar_t text[2048] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 2048);
  Print(text);
  if (argc > 4 && std::wstring(argv[4]) == L"--ok") PostMessageW(box, WM_COMMAND, IDOK, 0);
  return 0;
}
