// Each call the program makes for its window, its pictures and its map, made
// to fail: at the first call, the second, the last and every one. Whatever
// fails, the program either tells the user in one box that it can't show the
// map and ends, or goes on working, and it leaks nothing either way.
//
// Each case is a test of its own, which CTest runs in a fresh process under
// its time limit: so a case starts from what a fresh program has (the canvas
// makes its fonts once per process, on first use), and a crash or a hang is
// that case's failure alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/gdiplus.h"
#include "canvas/owned.h"
#include "../support/import_patch.h"
#include "../support/gdi_objects.h"
#include "../support/real_window.h"

namespace {

constexpr wchar_t kNoMemory[] =
    L"No hay memoria suficiente para mostrar el mapa: cierre otros programas y vuelva a abrir "
    L"Quimbara.";
constexpr wchar_t kReadError[] = L"[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <";

// Calls of one import, counted; the one numbered failAt fails, with -1 every
// one, with 0 none.
struct Fault {
  int calls = 0, failAt = 0, failed = 0;
  void* real = nullptr;
};
template <int Key>
Fault fault;

// The replacement has the function's own type, calling convention included.
template <int Key, auto Failure, typename R, typename... A>
R WINAPI Failing(A... args) {
  Fault& f = fault<Key>;
  if (++f.calls == f.failAt || f.failAt == -1) return ++f.failed, R(Failure);
  return reinterpret_cast<R(WINAPI*)(A...)>(f.real)(args...);
}

struct Call {
  const char* dll;
  const char* name;
  void* replacement;
  Fault* fault;
};

template <int Key, auto Failure, typename R, typename... A>
Call Entry(const char* dll, const char* name, R(WINAPI*)(A...)) {
  return Call{dll, name, reinterpret_cast<void*>(&Failing<Key, Failure, R, A...>), &fault<Key>};
}
#define FAILING(dll, function, failure) Entry<__LINE__, failure>(dll, #function, decltype(&function){})

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

void Send(HWND map, UINT message, int x, int y) {
  SendMessageW(map, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
}

int Pixels(HWND map, RECT area, COLORREF c) { return CountPixels(WindowDC(map).get(), area, c); }

BOOL CALLBACK CountWindow(HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count) > 0; }

int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// What a person sees of a program that still works: the map (or, after a
// read error, a white one), the red band while the button is down and the
// panel once it is up, read off the face.
std::string Works(HWND window, HWND map, bool whiteMap) {
  if (!map || !IsWindowVisible(window)) return "no map control";
  // A picture of the map has many colours; a blank one, whatever its colour, has one.
  std::vector<COLORREF> colours;
  {
    const WindowDC face(map);
    for (int y = 100; y < 1000; y += 100)
      for (int x = 400; x < 1200; x += 100) colours.push_back(GetPixel(face.get(), x, y));
  }
  std::sort(colours.begin(), colours.end());
  const auto shades = std::unique(colours.begin(), colours.end()) - colours.begin();
  if (whiteMap && (shades != 1 || colours[0] != kWhite)) return "no white map";
  if (!whiteMap && shades < 4) return "no map";
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

std::string Judge(const RealWindow& w, int windowsBefore) {
  const bool gone = !IsWindow(w.window) && !MainDialogHandle && ThreadWindows() == windowsBefore;
  const auto& said = w.messages;
  if (said.empty()) return gone ? "silent end" : Works(w.window, w.map, false);
  if (said.size() > 1) return std::to_string(said.size()) + " boxes";
  if (said[0].rfind(kReadError, 0) == 0)
    return gone ? "read error, then no window" : "read error, then " + Works(w.window, w.map, true);
  if (said[0] != kNoMemory) return "a box saying something else";
  return gone ? "box" : "box, window left";
}

// One stretch of the program's life, with call `index` failing at `failAt`:
// the window opened as the program opens it, one drag on the map, then judged
// and closed.
struct Stretch {
  std::string outcome;
  int calls = 0, failed = 0;
};

Stretch RunStretch(int index, int failAt) {
  const Call& call = kCalls[index];
  const int windows = ThreadWindows();
  std::optional<RealWindow> w;
  {
    *call.fault = Fault{0, failAt};
    const ImportPatch patch(call.dll, call.name, call.replacement);
    if (!(call.fault->real = patch.original())) return {"not imported"};
    w.emplace(L"120");
    Send(w->map, WM_LBUTTONDOWN, 100, 500);
    for (int y = 600; y <= 800; y += 100) Send(w->map, WM_MOUSEMOVE, 100 + (y - 500) * 2 / 3, y);
    Send(w->map, WM_LBUTTONUP, 300, 800);
    Pump();
  }
  return {Judge(*w, windows), call.fault->calls, call.fault->failed};
}

enum Position { kFirst, kSecond, kLast, kEvery };
constexpr const char* kPositions[] = {"first", "second", "last", "every"};

struct Case {
  int call;
  Position position;
};

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (int i = 0; i < static_cast<int>(std::size(kCalls)); ++i)
    for (Position p : {kFirst, kSecond, kLast, kEvery}) cases.push_back({i, p});
  return cases;
}

bool Sound(const std::string& outcome) {
  return outcome == "box" || outcome == "works" || outcome == "read error, then works";
}

class FailureInjection : public ::testing::TestWithParam<Case> {};

TEST_P(FailureInjection, EndsWithOneBoxOrWorksAndLeavesNothing) {
  const auto [index, position] = GetParam();
  int failAt = position == kFirst ? 1 : position == kSecond ? 2 : -1;
  if (position == kLast) {
    // Counted in a process that has made what it keeps for good, as every
    // stretch but a fresh process's first is.
    const Stretch fresh = RunStretch(index, 0);
    ASSERT_EQ(fresh.outcome, "works") << "without a fault";
    const Stretch warm = RunStretch(index, 0);
    if (warm.calls == 0) {
      EXPECT_LE(fresh.calls, 2) << "made only by a fresh process, and more than twice: no case fails its last";
      return;
    }
    failAt = warm.calls;
  }
  const Stretch first = RunStretch(index, failAt);
  if (first.failed == 0 && position == kSecond) {
    EXPECT_EQ(first.calls, 1) << first.outcome;  // made once: there is no second call
    return;
  }
  ASSERT_GT(first.failed, 0) << "the program never makes this call";
  EXPECT_TRUE(Sound(first.outcome)) << first.outcome;

  // What the first time round made for good is made; the same again adds nothing.
  const DWORD gdi = GdiObjects();
  const size_t fonts = GetCanvasCounts().fonts;
  const int windows = ThreadWindows();
  const std::string again = RunStretch(index, failAt).outcome;
  EXPECT_TRUE(Sound(again)) << "again: " << again;
  EXPECT_EQ(GdiObjects(), gdi) << "GDI objects left behind";
  EXPECT_EQ(GetCanvasCounts().fonts, fonts) << "canvas fonts left behind";
  EXPECT_EQ(GetCanvasCounts().targets, 0u) << "canvas targets left behind";
  EXPECT_EQ(ThreadWindows(), windows) << "windows left behind";
}

INSTANTIATE_TEST_SUITE_P(Calls, FailureInjection, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(kCalls[info.param.call].name) + "_" +
                                  kPositions[info.param.position];
                         });

// Windows' GDI+ answers OutOfMemory for a picture it can't decode, and
// decodes a JPEG only as it draws it: that is a damaged map, not a full memory.
TEST(DamagedMap, DrawFailingAsOutOfMemoryIsAReadErrorAndTheProgramGoesOn) {
  const auto draw = std::find_if(std::begin(kCalls), std::end(kCalls), [](const Call& c) {
    return std::string(c.name) == "GdipDrawImageRectRect";
  });
  EXPECT_EQ(RunStretch(static_cast<int>(draw - std::begin(kCalls)), -1).outcome,
            "read error, then works");
}

}  // namespace
