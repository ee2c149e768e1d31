#include "bench/cross_process.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "canvas/window_proc.h"

namespace {

constexpr int kControlId = 1001;
constexpr int kWidth = 1267;
constexpr int kHeight = 990;

// The floor's picture: the same canvas, map and face the program keeps.
struct Floor {
  HDC map = nullptr;
  HDC canvas = nullptr;
  HDC face = nullptr;
  HBRUSH white = nullptr;
  POINT start{};
  bool dragging = false;
};
Floor bare;
WNDPROC staticProc = nullptr;

HDC NewPicture(HDC reference) {
  HDC dc = CreateCompatibleDC(reference);
  SelectObject(dc, CreateCompatibleBitmap(reference, kWidth, kHeight));
  return dc;
}

// A bare owner-drawn STATIC that does, for each move, what the program does.
LRESULT CALLBACK FloorControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT p{LOWORD(lParam), HIWORD(lParam)};
  if (message == WM_LBUTTONDOWN) {
    bare.start = p;
    bare.dragging = true;
  } else if (message == WM_LBUTTONUP) {
    bare.dragging = false;
  } else if (message == WM_MOUSEMOVE && bare.dragging) {
    DrawFloorMove(bare.canvas, bare.map, bare.white, bare.start, p, bare.face, control);
  }
  return CallWindowProcW(staticProc, control, message, wParam, lParam);
}

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWITEM) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    BitBlt(item.hDC, 0, 0, kWidth, kHeight, bare.face, 0, 0, SRCCOPY);
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// One drag of `count` moves sent to `control` from this process. The two
// windows overlap, so the one being measured is raised first: a covered
// control would repaint less.
std::vector<double> SendDrag(HWND control, int count) {
  SetWindowPos(GetAncestor(control, GA_ROOT), HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  std::vector<double> times;
  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
  for (int i = 0; i < count; ++i) {
    const double a = i * 0.05;
    const LPARAM at = MAKELPARAM(633 + static_cast<int>(400 * std::cos(a)),
                                 495 + static_cast<int>(300 * std::sin(a * 1.3)));
    const double t0 = NowMs();
    SendMessageW(control, WM_MOUSEMOVE, MK_LBUTTON, at);
    times.push_back(NowMs() - t0);
  }
  SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
  return times;
}

}  // namespace

void DrawFloorMove(HDC canvas, HDC map, HBRUSH white, POINT from, POINT to, HDC face,
                   HWND control) {
  RECT all{0, 0, kWidth, kHeight};
  FillRect(canvas, &all, white);
  if (map) BitBlt(canvas, 0, 0, kWidth, kHeight, map, 0, 0, SRCCOPY);
  HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 0, 0));
  HGDIOBJ previous = SelectObject(canvas, pen);
  MoveToEx(canvas, from.x, from.y, nullptr);
  LineTo(canvas, to.x, to.y);
  SelectObject(canvas, previous);
  DeleteObject(pen);
  BitBlt(face, 0, 0, kWidth, kHeight, canvas, 0, 0, SRCCOPY);
  InvalidateRect(control, nullptr, FALSE);
  UpdateWindow(control);
}

HWND CreateFloorWindow(HBITMAP map) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = FloorWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"QuimbaraBenchFloor";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Floor",
                                WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, kWidth + 8, kHeight + 30,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  HWND control = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY,
                                 0, 0, kWidth, kHeight, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kControlId)),
                                 windowClass.hInstance, nullptr);
  HDC screen = GetDC(nullptr);
  bare.canvas = NewPicture(screen);
  bare.face = NewPicture(screen);
  bare.map = NewPicture(screen);
  ReleaseDC(nullptr, screen);
  HDC source = CreateCompatibleDC(bare.map);
  HGDIOBJ previous = SelectObject(source, map);
  BitBlt(bare.map, 0, 0, kWidth, kHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
  bare.white = CreateSolidBrush(RGB(255, 255, 255));
  staticProc = ReplaceWindowProc(control, FloorControlProc);
  return control;
}

CrossProcessTimes TimeMovesFromAnotherProcess(HWND programMap, HWND floorControl, int rounds,
                                              int movesPerRound) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" --drive " +
                         std::to_wstring(reinterpret_cast<UINT_PTR>(programMap)) + L" " +
                         std::to_wstring(reinterpret_cast<UINT_PTR>(floorControl)) + L" " +
                         std::to_wstring(rounds) + L" " + std::to_wstring(movesPerRound);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd, writeEnd;
  CreatePipe(&readEnd, &writeEnd, &inherit, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION child{};
  CrossProcessTimes result{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &child))
    return result;
  CloseHandle(writeEnd);

  // The moves arrive as sent messages: keep taking them until the driver ends.
  while (MsgWaitForMultipleObjects(1, &child.hProcess, FALSE, INFINITE, QS_ALLINPUT) !=
         WAIT_OBJECT_0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  char text[256] = {};
  DWORD got = 0;
  ReadFile(readEnd, text, sizeof text - 1, &got, nullptr);
  std::sscanf(text, "%lf %lf", &result.programMs, &result.floorMs);
  CloseHandle(readEnd);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return result;
}

bool IsDriverCall(int argc, wchar_t** argv) {
  return argc == 6 && std::wcscmp(argv[1], L"--drive") == 0;
}

int DriveMoves(wchar_t** argv) {
  HWND program = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(argv[2], nullptr, 10)));
  HWND floorControl =
      reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(argv[3], nullptr, 10)));
  const int rounds = std::wcstol(argv[4], nullptr, 10);
  const int moves = std::wcstol(argv[5], nullptr, 10);
  SendDrag(program, 100);  // warm both paths
  SendDrag(floorControl, 100);
  // Alternate the two, so that drift in the machine's load hits both.
  std::vector<double> programTimes, floorTimes;
  for (int round = 0; round < rounds; ++round) {
    for (double t : SendDrag(program, moves)) programTimes.push_back(t);
    for (double t : SendDrag(floorControl, moves)) floorTimes.push_back(t);
  }
  std::printf("%.4f %.4f\n", Median(programTimes), Median(floorTimes));
  return 0;
}
