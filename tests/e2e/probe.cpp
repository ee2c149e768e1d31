// What the driver can't learn through X, asked inside Wine:
//   probe          prints, in UTF-8, the message of the box titled Veltranico
//                  (X can't see inside it); fails (2) when its program shows
//                  any other window: the box must come alone.
//   probe origin   prints "X Y", where the map's top-left pixel is on the screen.
//   probe panel FILE.ppm DISTANCE TIME
//                  saves the panel that reads those two lines, drawn with
//                  plain GDI on white.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

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

int PrintOrigin() {
  HWND map = GetDlgItem(FindWindowW(L"#32770", L"Quimbara"), ID_MAP);
  POINT origin{0, 0};
  if (!map || !ClientToScreen(map, &origin)) return 1;
  std::printf("%ld %ld\n", origin.x, origin.y);
  return 0;
}

std::wstring Wide(const char* text) {
  wchar_t wide[1024] = {};
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 1024);
  return wide;
}

// As a binary PPM, which ImageMagick reads: a line of size, then RGB rows.
int SavePanel(char** argv) {
  constexpr int kWidth = 340, kHeight = 70;  // the black outline's last column and row are 339, 69
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, kWidth, kHeight);
  FILE* out = std::fopen(argv[2], "wb");
  if (!dc || !picture || !out) return 1;
  SelectObject(dc, picture);
  const RECT all{0, 0, kWidth, kHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  DrawExpectedPanel(dc, Wide(argv[3]), Wide(argv[4]));
  std::fprintf(out, "P6\n%d %d\n255\n", kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      const unsigned char rgb[] = {GetRValue(c), GetGValue(c), GetBValue(c)};
      std::fwrite(rgb, 3, 1, out);
    }
  return std::fclose(out) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  // DPI aware, as the program is: screen positions in real pixels, and the same drawing.
  SetProcessDPIAware();
  if (argc == 1) return ReadBox();
  if (argc == 2 && std::strcmp(argv[1], "origin") == 0) return PrintOrigin();
  if (argc == 5 && std::strcmp(argv[1], "panel") == 0) return SavePanel(argv);
  std::fprintf(stderr, "usage: probe [origin | panel FILE.ppm DISTANCE TIME]\n");
  return 64;
}
