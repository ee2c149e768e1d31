// Reads what the end-to-end scripts can't see from X: run under Wine beside
// the program, it looks at the program's windows through USER32.
//
//   probe box CAPTION SECONDS [--ok]
//     Waits for a visible dialog box titled CAPTION, prints its message text
//     (UTF-8, one line) and, with --ok, presses its OK button.
//   probe origin CAPTION
//     Prints the screen position of the client area of the window titled
//     CAPTION as "x y".
// Exits 1 when there is no such window.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kMessageTextId = 0xFFFF;

void Print(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                 0, nullptr, nullptr);
  std::string utf8(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                      nullptr, nullptr);
  utf8 += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()),
            &written, nullptr);
}

HWND WaitForBox(const wchar_t* caption, double seconds) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  do {
    HWND box = FindWindowW(L"#32770", caption);
    // A box is filled in before it shows.
    if (box && IsWindowVisible(box)) return box;
    Sleep(100);
  } while (GetTickCount64() < deadline);
  return nullptr;
}

int Box(const wchar_t* caption, double seconds, bool pressOk) {
  HWND box = WaitForBox(caption, seconds);
  if (!box) return 1;
  wchar_t text[2048] = {};
  GetDlgItemTextW(box, kMessageTextId, text, 2048);
  Print(text);
  if (pressOk) PostMessageW(box, WM_COMMAND, IDOK, 0);
  return 0;
}

int Origin(const wchar_t* caption) {
  HWND window = FindWindowW(nullptr, caption);
  if (!window) return 1;
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  Print(std::to_wstring(origin.x) + L" " + std::to_wstring(origin.y));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"box" && argc >= 4)
    return Box(argv[2], _wtof(argv[3]), argc > 4 && std::wstring(argv[4]) == L"--ok");
  if (command == L"origin" && argc == 3) return Origin(argv[2]);
  fwprintf(stderr, L"usage: probe box CAPTION SECONDS [--ok] | probe origin CAPTION\n");
  return 2;
}
