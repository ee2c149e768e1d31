// How long one pointer move takes during a drag, through the real map
// control, next to the floor: the same GDI work written out directly.
// Also the process's working set before and after 10,000 moves, and the
// same comparison with the moves sent from another process.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "common/gdiplus.h"
#include "common/state.h"
#include "canvas/canvas.h"
#include "../tests/support/real_window.h"
#include "bench/cross_process.h"

namespace {

LARGE_INTEGER frequency;

double NowMs() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// A pointer path that keeps the band's length and direction changing.
POINT PathPoint(int i) {
  double a = i * 0.05;
  return POINT{633 + static_cast<LONG>(400 * std::cos(a)), 495 + static_cast<LONG>(300 * std::sin(a * 1.3))};
}

double WorkingSetMb() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return pmc.WorkingSetSize / (1024.0 * 1024.0);
}

std::vector<double> ProgramMoves(HWND map, int count) {
  std::vector<double> times;
  SendMessageW(map, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
  for (int i = 0; i < count; ++i) {
    POINT p = PathPoint(i);
    double t0 = NowMs();
    SendMessageW(map, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    times.push_back(NowMs() - t0);
  }
  SendMessageW(map, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
  Pump();
  return times;
}

// The floor, in this process: the same pictures the program uses, drawn directly.
// The floor's face is a picture of its own: taking the control's DC from the
// canvas would make every later move of the program repaint twice.
std::vector<double> FloorMoves(HWND map, int count) {
  Attach(MapBitmap);
  HDC mapDC = GetCanvasDC();
  HDC screen = GetDC(nullptr);
  HDC canvasDC = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, kCanvasWidth, kCanvasHeight);
  HDC faceDC = CreateCompatibleDC(screen);
  HBITMAP face = CreateCompatibleBitmap(screen, kCanvasWidth, kCanvasHeight);
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(canvasDC, canvas);
  HGDIOBJ oldFace = SelectObject(faceDC, face);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));

  std::vector<double> times;
  for (int i = 0; i < count; ++i) {
    POINT p = PathPoint(i);
    double t0 = NowMs();
    DrawFloorMove(canvasDC, mapDC, white, POINT{100, 100}, p, faceDC, map);
    times.push_back(NowMs() - t0);
  }
  DeleteObject(white);
  SelectObject(faceDC, oldFace);
  DeleteObject(face);
  DeleteDC(faceDC);
  SelectObject(canvasDC, oldBitmap);
  DeleteObject(canvas);
  DeleteDC(canvasDC);
  return times;
}

void MeasureMoves(HWND map) {
  ProgramMoves(map, 200);  // warm up both paths
  FloorMoves(map, 200);
  double before = WorkingSetMb();

  // Alternate the two, so that drift in the machine's load hits both.
  std::vector<double> program, floor;
  for (int round = 0; round < 5; ++round) {
    auto p = ProgramMoves(map, 2000);
    program.insert(program.end(), p.begin(), p.end());
    auto f = FloorMoves(map, 500);
    floor.insert(floor.end(), f.begin(), f.end());
  }
  double after = WorkingSetMb();

  double p = Median(program), f = Median(floor);
  std::printf("move_program_ms %.3f\n", p);
  std::printf("move_floor_ms %.3f\n", f);
  std::printf("move_ratio %.2f\n", p / f);
  std::printf("moves %zu\n", program.size());
  std::printf("working_set_start_mb %.1f\n", before);
  std::printf("working_set_after_mb %.1f\n", after);
  std::printf("working_set_growth_mb %.2f\n", after - before);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (IsDriverCall(argc, argv)) return DriveMoves(argv);
  QueryPerformanceFrequency(&frequency);
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&GdiplusToken, &input, nullptr) != Gdiplus::Ok) return 1;
  {
    RealWindow real(L"120");
    if (!real.window) return 1;
    MeasureMoves(real.map);
    // The bare control lives until the benchmark ends.
    const CrossProcessTimes cross =
        TimeMovesFromAnotherProcess(real.map, CreateFloorWindow(MapBitmap), 5, 1000);
    std::printf("cross_program_ms %.3f\n", cross.programMs);
    std::printf("cross_floor_ms %.3f\n", cross.floorMs);
    std::printf("cross_ratio %.2f\n", cross.programMs / cross.floorMs);
  }
  Gdiplus::GdiplusShutdown(GdiplusToken);
  return 0;
}
