// What the driver can't learn through X, asked inside Wine:
//   probe          prints, in UTF-8, the message of the box titled Veltranico
//                  that the driver has seen show: X can't see the text inside
//                  a box. Fails (2) when its program shows any other window:
//                  the box must come alone. While the box is up its program
//                  waits in it, so no window can come later.
//   probe origin   prints "X Y", where the map's top-left pixel is on the screen.
//   probe panel FILE.ppm DISTANCE TIME
//                  saves the panel that reads those two lines, drawn with
//                  plain GDI on a white picture of the panel's size.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/state.h"
#include "../support/expected_panel.h"

namespace {

// The panel's black outline ends at column 339 and row 69.
constexpr int kPanelWidth = 340;
constexpr int kPanelHeight = 70;

DWORD boxProcess = 0;
HWND box = nullptr;
int others = 0;

BOOL CALLBACK CountOthers(HWND window, LPARAM) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (window != box && process == boxProcess && IsWindowVisible(window)) ++others;
  return TRUE;
}

void PrintUtf8(const std::wstring& text) {
  char utf8[8192] = {};
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s\n", utf8);
}

int ReadBox() {
  box = FindWindowW(L"#32770", L"Veltranico");
  if (!box) return 1;
  wchar_t text[2048] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 2048);
  PrintUtf8(text);
  GetWindowThreadProcessId(box, &boxProcess);
  EnumWindows(CountOthers, 0);
  return others == 0 ? 0 : 2;
}

int PrintOrigin() {
  HWND window = FindWindowW(L"#32770", L"Quimbara");
  HWND map = window ? GetDlgItem(window, ID_MAP) : nullptr;
  POINT origin{0, 0};
  if (!map || !ClientToScreen(map, &origin)) return 1;
  std::printf("%ld %ld\n", origin.x, origin.y);
  return 0;
}

// A binary PPM, which ImageMagick reads: a line of size, then RGB rows.
bool SavePicture(HDC dc, const char* path) {
  FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  std::fprintf(out, "P6\n%d %d\n255\n", kPanelWidth, kPanelHeight);
  for (int y = 0; y < kPanelHeight; ++y)
    for (int x = 0; x < kPanelWidth; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      const unsigned char rgb[] = {GetRValue(c), GetGValue(c), GetBValue(c)};
      std::fwrite(rgb, 3, 1, out);
    }
  return std::fclose(out) == 0;
}

std::wstring Wide(const char* text) {
  wchar_t wide[1024] = {};
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 1024);
  return wide;
}

int SavePanel(char** argv) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, kPanelWidth, kPanelHeight);
  ReleaseDC(nullptr, screen);
  if (!dc || !picture) return 1;
  SelectObject(dc, picture);
  const RECT all{0, 0, kPanelWidth, kPanelHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawExpectedPanel(dc, Wide(argv[3]), Wide(argv[4]));
  return SavePicture(dc, argv[2]) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // DPI aware, as the program is: screen positions in real pixels, not
  // scaled to 96 DPI, and the same drawing. Windows XP lacks the call.
  using SetAware = BOOL(WINAPI*)();
  if (FARPROC f = GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware"))
    reinterpret_cast<SetAware>(reinterpret_cast<void (*)()>(f))();
  if (argc == 1) return ReadBox();
  if (argc == 2 && std::strcmp(argv[1], "origin") == 0) return PrintOrigin();
  if (argc == 5 && std::strcmp(argv[1], "panel") == 0) return SavePanel(argv);
  std::fprintf(stderr, "usage: probe [origin | panel FILE.ppm DISTANCE TIME]\n");
  return 64;
}
