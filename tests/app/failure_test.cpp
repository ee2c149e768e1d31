// Each call the program makes for its window, its pictures and its map, made
// to fail: at the first call, the second, the last and every one. Whatever
// fails, the program either tells the user in one box that it can't show the
// map and ends, or goes on working, and it leaks nothing either way.
//
// Each case runs in a process of its own (this exe, started again), so that
// a crash or a hang is a result in the table rather than the end of the
// test, and so that every case starts from what a fresh program has: the
// canvas makes its fonts once per process, on first use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/gdiplus.h"
#include "canvas/owned.h"
#include "../support/import_patch.h"
#include "../support/gdi_objects.h"
#include "../support/real_window.h"
#include "../support/watchdog.h"

namespace {

constexpr wchar_t kNoMemory[] =
    L"No hay memoria suficiente para mostrar el mapa: cierre otros programas y vuelva a abrir "
    L"Quimbara.";

// Calls of one import, counted; the one numbered failAt fails, or with -1 every one.
struct Fault {
  int calls = 0;
  int failAt = 0;
  int failed = 0;
  void* real = nullptr;
};

template <int Key, auto Failure, typename R, typename... A>
struct Failing {
  static inline Fault fault;
  static R WINAPI Call(A... args) {
    const int n = ++fault.calls;
    if (fault.failAt == -1 || n == fault.failAt) {
      ++fault.failed;
      return R(Failure);
    }
    return reinterpret_cast<R(WINAPI*)(A...)>(fault.real)(args...);
  }
};

struct Call {
  const char* dll;
  const char* name;
  void* replacement;
  Fault* fault;
};

// The replacement has the function's own type, calling convention included.
template <int Key, auto Failure, typename R, typename... A>
Call Entry(const char* dll, const char* name, R(WINAPI*)(A...)) {
  using F = Failing<Key, Failure, R, A...>;
  return Call{dll, name, reinterpret_cast<void*>(&F::Call), &F::fault};
}
#define FAILING(dll, function, failure) \
  Entry<__LINE__, failure>(dll, #function, decltype(&function){})

using Gdiplus::DllExports::GdipCreateFromHDC;
using Gdiplus::DllExports::GdipDrawImageRectRect;

// Each with what it returns when it fails.
const Call kCalls[] = {
    FAILING("gdi32.dll", CreateCompatibleDC, nullptr),
    FAILING("gdi32.dll", CreateCompatibleBitmap, nullptr),
    FAILING("gdi32.dll", CreateSolidBrush, nullptr),
    FAILING("gdi32.dll", CreateFontIndirectW, nullptr),
    FAILING("gdi32.dll", SelectObject, nullptr),
    FAILING("user32.dll", GetDC, nullptr),
    FAILING("user32.dll", CreateWindowExW, nullptr),
    FAILING("user32.dll", CreateDialogIndirectParamW, nullptr),
    FAILING("gdi32.dll", CreatePen, nullptr),
    FAILING("gdi32.dll", BitBlt, FALSE),
    FAILING("gdi32.dll", ExtTextOutW, FALSE),
    FAILING("user32.dll", LoadImageW, nullptr),
    FAILING("user32.dll", DialogBoxIndirectParamW, -1),
    FAILING("user32.dll", CreateMenu, nullptr),
    FAILING("user32.dll", AppendMenuW, FALSE),
    FAILING("gdiplus.dll", GdipCreateFromHDC, Gdiplus::OutOfMemory),
    FAILING("gdiplus.dll", GdipDrawImageRectRect, Gdiplus::OutOfMemory),
};
constexpr int kCallCount = static_cast<int>(std::size(kCalls));

void Send(HWND map, UINT message, int x, int y) {
  SendMessageW(map, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}

int Pixels(HWND map, RECT area, COLORREF c) {
  const WindowDC face(map);
  return CountPixels(face.get(), area, c);
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

struct Opened {
  decltype(Values(ProgramState())) before = Values(ProgramState());
  HWND window = nullptr;
  std::vector<std::wstring> messages;  // the message boxes', not the speed box's
};

// The program's start as it makes it, then one drag on the map, every box
// read and answered (the speed with 120).
Opened OpenAndDrag() {
  Opened o;
  BoxAnswerer answerer({L"120"});
  // A main window left without its menu is taken for a box too: only a
  // message box has the text control.
  answerer.Inspect([&o](HWND box) {
    if (HWND text = GetDlgItem(box, 0xFFFF)) o.messages.push_back(WindowText(text));
  });
  o.window = CreateMainDialog(nullptr);
  if (o.window) BeginModalRun(o.window);
  Pump();
  const HWND map = GetDlgItem(o.window, ID_MAP);
  Send(map, WM_LBUTTONDOWN, 100, 500);
  for (int y = 600; y <= 800; y += 100) Send(map, WM_MOUSEMOVE, 100 + (y - 500) * 2 / 3, y);
  Send(map, WM_LBUTTONUP, 300, 800);
  Pump();
  return o;
}

// What a person sees of a program that still works: the map, the red band
// while the button is down and the panel once it is up, read off the face.
std::string Works(HWND window) {
  const HWND map = GetDlgItem(window, ID_MAP);
  if (!map || !IsWindowVisible(window)) return "no map control";
  // A picture of the map has many colours; a blank one, whatever its colour, has one.
  std::vector<COLORREF> colours;
  {
    const WindowDC face(map);
    for (int y = 100; y < 1000; y += 100)
      for (int x = 400; x < 1200; x += 100) colours.push_back(GetPixel(face.get(), x, y));
  }
  std::sort(colours.begin(), colours.end());
  if (std::unique(colours.begin(), colours.end()) - colours.begin() < 4) return "no map";
  // On the band from (200,600) to (500,750), well off the drag before.
  const RECT onBand{349, 674, 352, 677};
  const int red = Pixels(map, onBand, kRed);
  Send(map, WM_LBUTTONDOWN, 200, 600);
  Send(map, WM_MOUSEMOVE, 350, 675);
  Send(map, WM_MOUSEMOVE, 500, 750);
  if (Pixels(map, onBand, kRed) < red + 2) return "no band";
  Send(map, WM_LBUTTONUP, 500, 750);
  if (Pixels(map, {4, 3, 338, 68}, kWhite) < 15000 || Pixels(map, {10, 10, 330, 24}, kBlack) < 50 ||
      Pixels(map, {10, 40, 330, 54}, kRed) < 50)
    return "no panel";
  return "works";
}

std::string Judge(const Opened& o, int windowsBefore) {
  const bool gone = !IsWindow(o.window) && !MainDialogHandle && ThreadWindows() == windowsBefore;
  if (o.messages.empty()) return gone ? "silent end" : Works(o.window);
  if (o.messages.size() > 1) return std::to_string(o.messages.size()) + " boxes";
  if (o.messages[0] != kNoMemory) return "a box saying something else";
  return gone ? "box" : "box, window left";
}

void Close(const Opened& o) {
  for (HWND w : {o.window, MainDialogHandle})
    if (IsWindow(w)) DestroyWindow(w);
  Pump();
  for (HBITMAP b : {CanvasBitmap, MapBitmap}) {
    Attach(b);
    EndBitmap();
  }
  ProgramState() = o.before;
}

// What one process saw, passed back in a file of three lines.
struct Report {
  std::string outcome;
  bool counted = false;  // the process got as far as counting what it left
  int failed = 0;
  // Left behind: what the second time round added of each, and after it the
  // canvas targets and windows still there.
  long long gdi = 0, fonts = 0, targets = 0, windows = 0;
  std::vector<int> calls = std::vector<int>(kCallCount);
};

// In the process started for one case: call `index` failing at `failAt`
// (with -1 for index, every call counted and none failed) while the window
// opens and takes a drag; then judged, with the fault gone, and closed. The
// same again shows what stays behind: the first time round makes what the
// process keeps for good, on whichever path the fault sent it.
Report RunCase(int index, int failAt) {
  Report r;
  const int windows = ThreadWindows();
  DWORD gdi[2] = {};
  size_t fonts[2] = {};
  for (int round = 0; round < 2; ++round) {
    Opened opened;
    {
      std::vector<std::unique_ptr<ImportPatch>> patches;
      for (int i = 0; i < kCallCount; ++i) {
        if (index >= 0 && i != index) continue;
        *kCalls[i].fault = Fault{0, failAt, 0, nullptr};
        patches.push_back(std::make_unique<ImportPatch>(kCalls[i].dll, kCalls[i].name,
                                                        kCalls[i].replacement));
        if (!(kCalls[i].fault->real = patches.back()->original())) return {"not imported"};
      }
      opened = OpenAndDrag();
    }
    const std::string outcome = Judge(opened, windows);
    Close(opened);
    gdi[round] = GdiObjects();
    fonts[round] = GetCanvasCounts().fonts;
    if (round) break;
    // The process's first time is what a user's program does.
    r.outcome = outcome;
    for (int i = 0; i < kCallCount; ++i) {
      r.calls[i] = kCalls[i].fault->calls;
      r.failed += kCalls[i].fault->failed;
    }
  }
  r.counted = true;
  r.gdi = static_cast<long long>(gdi[1]) - gdi[0];
  r.fonts = static_cast<long long>(fonts[1]) - fonts[0];
  r.targets = static_cast<long long>(GetCanvasCounts().targets);
  r.windows = ThreadWindows() - windows;
  return r;
}

constexpr char kCaseVariable[] = "QUIMBARA_FAULT";

// Runs one case in a new process of this exe, allowed 10 s.
Report Spawn(int index, int failAt) {
  AllowSeconds(15);
  char dir[MAX_PATH] = {}, file[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  GetTempFileNameA(dir, "qf", 0, file);
  const std::string request = std::to_string(index) + " " + std::to_string(failAt) + " " + file;
  SetEnvironmentVariableA(kCaseVariable, request.c_str());
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=FailureInjection.*";
  // Its test's output would only repeat this one's.
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           &inherited, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
  PROCESS_INFORMATION child{};
  const bool started = CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &child);
  SetEnvironmentVariableA(kCaseVariable, nullptr);
  CloseHandle(nul);
  Report r;
  if (!started) {
    r.outcome = "not started";
  } else {
    DWORD code = 0;
    if (WaitForSingleObject(child.hProcess, 10000) == WAIT_TIMEOUT) {
      TerminateProcess(child.hProcess, 1);
      WaitForSingleObject(child.hProcess, 5000);
      r.outcome = "hang";
    } else if (GetExitCodeProcess(child.hProcess, &code) && code != 0) {
      char text[32];
      std::snprintf(text, sizeof text, "crash 0x%lX", static_cast<unsigned long>(code));
      r.outcome = text;
    } else {
      std::ifstream in(file);
      std::getline(in, r.outcome);
      in >> r.counted >> r.failed >> r.gdi >> r.fonts >> r.targets >> r.windows;
      for (int& n : r.calls) in >> n;
      if (r.outcome.empty()) r.outcome = "ended without a result";
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  }
  DeleteFileA(file);
  return r;
}

// A case's cell of the table: its outcome, and what it left behind.
std::string Cell(const Report& r) {
  std::string cell = r.outcome;
  auto differs = [&cell](const char* what, long long by) {
    if (by) cell += ", " + std::string(by > 0 ? "+" : "") + std::to_string(by) + " " + what;
  };
  if (r.counted) {
    if (!r.failed) cell += ", fault never reached";
    differs("GDI objects", r.gdi);
    differs("canvas fonts", r.fonts);
    differs("canvas targets", r.targets);
    differs("windows", r.windows);
  }
  return cell;
}

TEST(FailureInjection, EachCallFailingEndsWithOneBoxOrLeavesAWorkingProgram) {
  if (const char* request = std::getenv(kCaseVariable)) {
    // A crash ends the process at once with its code, rather than in a debugger.
    SetUnhandledExceptionFilter([](EXCEPTION_POINTERS* e) -> LONG {
      TerminateProcess(GetCurrentProcess(), e->ExceptionRecord->ExceptionCode);
      return EXCEPTION_CONTINUE_SEARCH;
    });
    int index = 0, failAt = 0;
    char file[MAX_PATH] = {};
    ASSERT_EQ(std::sscanf(request, "%d %d %259[^\n]", &index, &failAt, file), 3);
    const Report r = RunCase(index, failAt);
    std::ofstream out(file);
    out << r.outcome << "\n"
        << r.counted << " " << r.failed << " " << r.gdi << " " << r.fonts << " " << r.targets << " "
        << r.windows << "\n";
    for (int n : r.calls) out << n << " ";
    return;
  }

  const DWORD started = GetTickCount();
  const Report plain = Spawn(-1, 0);
  ASSERT_EQ(plain.outcome, "works") << "without a fault";
  ASSERT_EQ(Cell(plain), "works, fault never reached") << "without a fault";
  constexpr const char* kPositions[] = {"first", "second", "last", "every"};
  std::printf("%-27s", "call (calls)");
  for (const char* p : kPositions) std::printf(" | %-22s", p);
  std::printf("\n");
  std::string failures;
  for (int i = 0; i < kCallCount; ++i) {
    const int n = plain.calls[i];
    std::string cells[4];
    const int failAt[4] = {1, 2, n, -1};
    auto cell = [&, i](int p) -> std::string {
      if (n == 0) return "not called";
      if (failAt[p] > n) return "-";            // no second call
      if (p == 2 && n <= 2) return cells[n - 1];  // the last is the first or the second
      return Cell(Spawn(i, failAt[p]));
    };
    for (int p = 0; p < 4; ++p) {
      cells[p] = cell(p);
      if (cells[p] != "box" && cells[p] != "works" && cells[p] != "-")
        failures += std::string("\n  ") + kCalls[i].name + " " + kPositions[p] + ": " + cells[p];
    }
    std::printf("%-27s", (std::string(kCalls[i].name) + " (" + std::to_string(n) + ")").c_str());
    for (const std::string& c : cells) std::printf(" | %-22s", c.c_str());
    std::printf("\n");
  }
  std::printf("%.1f s\n", (GetTickCount() - started) / 1000.0);
  EXPECT_EQ(failures, "") << "cells neither ending with the box nor working";
}

}  // namespace
