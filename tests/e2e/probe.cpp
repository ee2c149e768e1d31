// What the driver can't learn through X, asked inside Wine:
//   probe          prints, in UTF-8, the message of the box titled Veltranico
//                  that the driver has seen show: X can't see the text inside
//                  a box. Fails (2) when its program shows any other window:
//                  the box must come alone. While the box is up its program
//                  waits in it, so no window can come later.
//   probe origin   prints "X Y", where the map's top-left pixel is on the screen.
//   probe panel X1 Y1 X2 Y2 SPEED FILE.ppm
//                  saves the panel that a drag from map point (X1,Y1) to
//                  (X2,Y2) at SPEED km/h must show, drawn by the program's own
//                  code on a white picture of the panel's size, and prints
//                  its two lines.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "canvas/canvas.h"
#include "common/state.h"
#include "measure/distance.h"
#include "measure/result_panel.h"

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

int SavePanel(char** argv) {
  const MapPoint start{std::atoi(argv[2]), std::atoi(argv[3])};
  const MapPoint end{std::atoi(argv[4]), std::atoi(argv[5])};
  const int32_t speed = std::atoi(argv[6]);
  HBITMAP picture = NewBitmap(kPanelWidth, kPanelHeight);
  if (!picture) return 1;
  Attach(picture);
  Clear(RGB(255, 255, 255));
  const Measurement m = Measure(start, end, speed);
  const std::wstring lines[] = {DistanceLine(m), TimeLine(m, speed)};
  DrawResultPanel(lines[0], lines[1]);
  if (!SavePicture(GetCanvasDC(), argv[7])) return 1;
  for (const std::wstring& line : lines) PrintUtf8(line);
  return 0;
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
  if (argc == 8 && std::strcmp(argv[1], "panel") == 0) return SavePanel(argv);
  std::fprintf(stderr, "usage: probe [origin | panel X1 Y1 X2 Y2 SPEED FILE.ppm]\n");
  return 64;
}
