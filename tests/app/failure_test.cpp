// Each call the program makes for its window, its pictures and its map, failing at the first
// call, the second, the last or every one: the program either says in one box that it can't
// show the map and ends, or goes on working, and leaks nothing. Each case runs in a process of
// its own, as a fresh program (the canvas makes its fonts once per process), under CTest's limit.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "common/gdiplus.h"
#include "canvas/owned.h"
#include "../support/expected_panel.h"
#include "../support/import_patch.h"
#include "../support/gdi_objects.h"
#include "../support/real_window.h"

namespace {

// One import, its calls counted: the one numbered failAt fails, with -1 every one, with 0 none.
struct Call {
  const char *dll, *name;
  void* replacement;
  int calls = 0, failAt = 0, failed = 0;
  void* real = nullptr;
};
template <int Key>
constinit Call imported{};  // filled in by the table below, never after

// The stand-in has the function's own type, calling convention included.
template <int Key, auto Failure, typename R, typename... A>
R WINAPI Failing(A... args) {
  Call& c = imported<Key>;
  if (++c.calls == c.failAt || c.failAt == -1) return ++c.failed, R(Failure);
  return reinterpret_cast<R(WINAPI*)(A...)>(c.real)(args...);
}

template <int Key, auto Failure, typename R, typename... A>
Call* Entry(const char* dll, const char* name, R(WINAPI*)(A...)) {
  imported<Key> = {dll, name, reinterpret_cast<void*>(&Failing<Key, Failure, R, A...>)};
  return &imported<Key>;
}
#define FAILING(dll, function, failure) Entry<__COUNTER__, failure>(dll, #function, decltype(&function){})

using Gdiplus::DllExports::GdipCreateFromHDC;
using Gdiplus::DllExports::GdipDrawImageRectRect;

// Each with what it returns when it fails.
Call* const kDraw = FAILING("gdiplus.dll", GdipDrawImageRectRect, Gdiplus::OutOfMemory);
Call* const kCalls[] = {
    FAILING("gdi32.dll", CreateCompatibleDC, nullptr),   FAILING("gdi32.dll", CreateCompatibleBitmap, nullptr),
    FAILING("gdi32.dll", CreateSolidBrush, nullptr),     FAILING("gdi32.dll", CreateFontIndirectW, nullptr),
    FAILING("gdi32.dll", SelectObject, nullptr),         FAILING("user32.dll", GetDC, nullptr),
    FAILING("user32.dll", CreateWindowExW, nullptr),     FAILING("user32.dll", CreateDialogIndirectParamW, nullptr),
    FAILING("gdi32.dll", CreatePen, nullptr),            FAILING("gdi32.dll", BitBlt, FALSE),
    FAILING("gdi32.dll", ExtTextOutW, FALSE),            FAILING("user32.dll", LoadImageW, nullptr),
    FAILING("user32.dll", DialogBoxIndirectParamW, -1),  FAILING("user32.dll", CreateMenu, nullptr),
    FAILING("user32.dll", AppendMenuW, FALSE),           FAILING("gdiplus.dll", GdipCreateFromHDC, Gdiplus::OutOfMemory),
    kDraw,
};

BOOL CALLBACK CountWindow(HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count) > 0; }

int ThreadWindows() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

// What a person sees of a program that still works, read off the face: the map (or, after a
// read error, a white one), the red band while the button is down and the panel once it is up.
std::string Works(const RealWindow& w, bool whiteMap) {
  if (!w.map || !IsWindowVisible(w.window)) return "no map control";
  const WindowDC face(w.map);
  // A picture of the map has many colours; a blank one, whatever its colour, has one.
  std::set<COLORREF> colours;
  for (int y = 100; y < 1000; y += 100)
    for (int x = 400; x < 1200; x += 100) colours.insert(GetPixel(face.get(), x, y));
  if (whiteMap && colours != std::set<COLORREF>{kWhite}) return "no white map";
  if (!whiteMap && colours.size() < 4) return "no map";
  // On the band from (200,600) to (500,750), well off the drag before.
  const RECT onBand{349, 674, 352, 677};
  const int red = CountPixels(face.get(), onBand, kRed);
  Send(w.map, WM_LBUTTONDOWN, 200, 600);
  Send(w.map, WM_MOUSEMOVE, 350, 675);
  Send(w.map, WM_MOUSEMOVE, 500, 750);
  if (CountPixels(face.get(), onBand, kRed) < red + 2) return "no band";
  Send(w.map, WM_LBUTTONUP, 500, 750);
  // At the speed typed, or at 0 where the speed box could not be shown.
  const wchar_t* distance = L"La distancia entre esos dos puntos es de 335 km.";
  if (PanelDifference(face.get(), {0, 0}, distance, L"A 120 km/h = 2 horas y 47 minutos") &&
      PanelDifference(face.get(), {0, 0}, distance, L"A 0 km/h no se llega nunca"))
    return "no panel";
  return "works";
}

std::string Judge(const RealWindow& w, int windowsBefore) {
  const bool gone = !IsWindow(w.window) && !MainDialogHandle && ThreadWindows() == windowsBefore;
  const auto& said = w.messages;
  if (said.empty()) return gone ? "silent end" : Works(w, false);
  if (said.size() > 1) return std::to_string(said.size()) + " boxes";
  if (said[0].rfind(L"[GraphicLoadImageFileToBitmap] [GdipLoadImagefromFile] read error on <", 0) == 0)
    return gone ? "read error, then no window" : "read error, then " + Works(w, true);
  if (said[0] != L"No hay memoria suficiente para mostrar el mapa: cierre otros programas y vuelva a abrir "
                 L"Quimbara.")
    return "a box saying something else";
  return gone ? "box" : "box, window left";
}

bool Sound(const std::string& it) { return it == "box" || it == "works" || it == "read error, then works"; }

// One stretch of the program's life with the call failing at failAt: the
// window opened as the program opens it, one drag on the map, then judged and closed.
struct Stretch {
  std::string outcome;
  int calls = 0, failed = 0;
};

Stretch RunStretch(Call& call, int failAt) {
  const int windows = ThreadWindows();
  std::optional<RealWindow> w;
  {
    call.calls = call.failed = 0;
    call.failAt = failAt;
    const ImportPatch patch(call.dll, call.name, call.replacement);
    if (!(call.real = patch.original())) return {"not imported"};
    w.emplace(L"120");
    Send(w->map, WM_LBUTTONDOWN, 100, 500);
    for (int y = 600; y <= 800; y += 100) Send(w->map, WM_MOUSEMOVE, 100 + (y - 500) * 2 / 3, y);
    Send(w->map, WM_LBUTTONUP, 300, 800);
    Pump();
  }
  return {Judge(*w, windows), call.calls, call.failed};
}

constexpr int kLast = -2;

class FailureInjection : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(FailureInjection, EndsWithOneBoxOrWorksAndLeavesNothing) {
  const auto [index, position] = GetParam();
  Call& call = *kCalls[index];
  int failAt = position;
  if (position == kLast) {
    ASSERT_EQ(RunStretch(call, 0).outcome, "works") << "without a fault";
    // Counted in a process that has made what it keeps for good, as every
    // stretch but a fresh process's first has; what only that one makes, the
    // first and second cases fail.
    if ((failAt = RunStretch(call, 0).calls) == 0) return;
  }
  const Stretch first = RunStretch(call, failAt);
  if (position == 2 && first.failed == 0 && first.calls == 1) return;  // made once: no second call
  ASSERT_GT(first.failed, 0) << "the program never makes this call";
  EXPECT_TRUE(Sound(first.outcome)) << first.outcome;

  // What the first time round made for good is made; the same again adds nothing.
  const DWORD gdi = GdiObjects();
  const size_t fonts = GetCanvasCounts().fonts;
  const int windows = ThreadWindows();
  const std::string again = RunStretch(call, failAt).outcome;
  EXPECT_TRUE(Sound(again)) << "again: " << again;
  EXPECT_EQ(GdiObjects(), gdi) << "GDI objects left behind";
  EXPECT_EQ(GetCanvasCounts().fonts, fonts) << "canvas fonts left behind";
  EXPECT_EQ(GetCanvasCounts().targets, 0u) << "canvas targets left behind";
  EXPECT_EQ(ThreadWindows(), windows) << "windows left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Calls, FailureInjection,
    ::testing::Combine(::testing::Range(0, static_cast<int>(std::size(kCalls))), ::testing::Values(1, 2, kLast, -1)),
    [](const auto& info) {
      const int at = std::get<1>(info.param);
      return std::string(kCalls[std::get<0>(info.param)]->name) +
             (at == 1 ? "_first" : at == 2 ? "_second" : at == kLast ? "_last" : "_every");
    });

// Windows' GDI+ answers OutOfMemory for a picture it can't decode, and decodes a JPEG only as it
// draws it: that is a damaged map, not a full memory.
TEST(DamagedMap, DrawFailingAsOutOfMemoryIsAReadErrorAndTheProgramGoesOn) {
  EXPECT_EQ(RunStretch(*kDraw, -1).outcome, "read error, then works");
}

}  // namespace
