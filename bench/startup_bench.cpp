// Where the start-up goes: the steps the program takes before its speed box
// is on the screen, each timed on its own, from the moment the process was
// created (as the system recorded it) to the box's activation.
#include <windows.h>

#include <cstdio>

#include "common/gdiplus.h"
#include "app/main_window.h"
#include "common/state.h"
#include "canvas/canvas.h"
#include "measure/map_loader.h"
#include "../tests/support/box_answerer.h"

namespace {

// Milliseconds on the system clock, comparable with the process's creation time.
double ClockMs(FILETIME t) {
  ULARGE_INTEGER v{{t.dwLowDateTime, t.dwHighDateTime}};
  return static_cast<double>(v.QuadPart) / 10000.0;
}

double NowMs() {
  FILETIME t;
  GetSystemTimePreciseAsFileTime(&t);
  return ClockMs(t);
}

double CreatedMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return ClockMs(created);
}

}  // namespace

int wmain() {
  const double created = CreatedMs();
  const double entered = NowMs();

  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&GdiplusToken, &input, nullptr) != Gdiplus::Ok) return 1;
  const double gdiplus = NowMs();

  // Decoding on its own, as the window's initialisation does it.
  HBITMAP map = LoadMapBitmap(MapFilePath()).bitmap;
  const double decoded = NowMs();
  Attach(map);
  EndBitmap();

  HWND window = CreateMainDialog(nullptr);
  const double created_window = NowMs();

  double boxUp = 0;
  BoxAnswerer answerer({L"120"});
  answerer.inspect = [&boxUp](HWND) { boxUp = NowMs(); };
  BeginModalRun(window);
  if (!window || boxUp == 0) return 1;

  std::printf("process_start_to_main_ms %.1f\n", entered - created);
  std::printf("gdiplus_start_ms %.1f\n", gdiplus - entered);
  std::printf("map_decode_ms %.1f\n", decoded - gdiplus);
  std::printf("window_creation_ms %.1f\n", created_window - decoded);
  std::printf("initialisation_to_box_ms %.1f\n", boxUp - created_window);
  DestroyWindow(window);
  Gdiplus::GdiplusShutdown(GdiplusToken);
  return 0;
}
