#include "app/main_window.h"

#include <string>
#include <string_view>
#include <vector>

#include "app/speed_prompt.h"
#include "app/state.h"
#include "canvas/canvas.h"
#include "measure/map_loader.h"
#include "measure/number_text.h"
#include "measure/point_picking.h"

namespace {

constexpr DWORD kMainStyle = 0x94CA00D4 & ~WS_VISIBLE;  // shown only once initialised
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 1268;
constexpr int kClientHeight = 989;
constexpr wchar_t kCreditItem[] = L"Realizado por https://quimbara.example/";
constexpr wchar_t kMapFileName[] = L"Mapa_Politico_de_Espana.jpg";

// The window whose callback is live. Until the modal run starts, messages
// get only the dialog defaults.
HWND callbackWindow = nullptr;

// A DLGTEMPLATE with no items, the standard dialog class and a DS_SETFONT font.
std::vector<WORD> MainWindowTemplate() {
  std::vector<WORD> t;
  auto dword = [&t](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  auto text = [&t](std::wstring_view s) {
    t.insert(t.end(), s.begin(), s.end());
    t.push_back(0);
  };
  dword(kMainStyle);
  dword(kMainExStyle);
  t.insert(t.end(), {0, 0, 0, 0, 0});  // no items; x, y, cx, cy set after creation
  t.insert(t.end(), {0, 0});           // no menu, standard class
  text(L"");                           // caption set after creation
  t.push_back(8);
  text(L"MS Sans Serif");
  return t;
}

void SetIcons(HWND window) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  auto load = [module](int size) {
    return LoadImageW(module, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, size, size, LR_SHARED);
  };
  HANDLE big = load(32);
  if (!big) return;
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (HANDLE small = load(16))
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

// The module's own path, however long: a folder deeper than MAX_PATH would
// otherwise be cut and the map reported missing.
std::wstring ModuleFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

void InitialisePicture(HWND window) {
  CanvasBitmap = NewBitmap(kCanvasWidth, kCanvasHeight);
  Attach(CanvasBitmap);
  Clear(RGB(255, 255, 255));
  RenderResource(L"#500", 0, 0, kCanvasWidth, kCanvasHeight);

  // Ends the program when the map is missing.
  MapBitmap = LoadMapBitmap(MapFilePath());

  Attach(CanvasBitmap);
  CopyAt(MapBitmap, 0, 0);
  Redraw();
  Attach(window, ID_MAP);
  CopyAll(CanvasBitmap);
  Redraw();
}

// Switching to another program and back returns the focus where it was.
void KeepFocus(bool becomingActive) {
  if (!becomingActive) {
    SavedFocus = GetFocus();
  } else if (SavedFocus) {
    SetFocus(SavedFocus);
    SavedFocus = nullptr;
  }
}

// The window's own dialog procedure: the callback, then the defaults.
INT_PTR CALLBACK MainWindowDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The system's own initialisation and activation calls stay with the
  // dialog manager: the modal run makes the real initialisation call.
  if (message == WM_INITDIALOG || message == WM_ACTIVATE) return FALSE;

  if (window == callbackWindow) MainDialogProc(window, message, wParam, lParam);

  switch (message) {
    case WM_DRAWITEM:
      if (wParam == ID_MAP)
        return PaintCanvasControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        SendMessageW(window, WM_CLOSE, 0, 0);
        return TRUE;
      }
      break;
    case WM_CLOSE:
      DestroyWindow(window);
      return TRUE;
    case WM_DESTROY:
      if (window == callbackWindow) callbackWindow = nullptr;
      if (window == MainDialogHandle) MainDialogHandle = nullptr;
      break;
  }
  return FALSE;
}

}  // namespace

// Kept in UTF-16 throughout: a folder named outside the ANSI code page must
// still lead to the map.
std::wstring MapFilePath() {
  std::wstring path = ModuleFileName();
  const size_t slash = path.rfind(L'\\');
  path.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return path + kMapFileName;
}

HWND CreateMainDialog(HWND parent) {
  std::vector<WORD> dialog = MainWindowTemplate();
  HWND window = CreateDialogIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()), parent,
      MainWindowDialogProc, 0);
  if (!window) return nullptr;

  // The frame is measured before the menu exists, so the menu bar later
  // takes its height from the client area.
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  int frameWidth = (outer.right - outer.left) - client.right;
  int frameHeight = (outer.bottom - outer.top) - client.bottom;
  SetWindowPos(window, nullptr, 0, 0, kClientWidth + frameWidth, kClientHeight + frameHeight,
               SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
  SetWindowTextW(window, L"Quimbara");
  MainDialogHandle = window;

  SetIcons(window);
  HWND map = CreateCanvasControl(window, ID_MAP, 0, 0, kCanvasWidth, kCanvasHeight, SS_NOTIFY);
  Attach(window, ID_MAP);
  SetColors(kDefaultColor, RGB(0xC0, 0xC0, 0xC0));
  Clear(kDefaultColor);
  BuildMenu(window);
  OldMapControlProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(map, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MapControlProc)));
  return window;
}

void BeginModalRun(HWND window) {
  SetForegroundWindow(window);
  MainDialogProc(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(window), 0);
  RECT client{};
  GetClientRect(window, &client);
  MainDialogProc(window, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
  callbackWindow = window;
  ShowWindow(window, SW_SHOW);
}

// Waits for messages rather than polling, so an idle window costs no CPU.
int32_t RunModalLoop(HWND window) {
  MSG msg;
  while (IsWindow(window)) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (!IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return 0;
}

int32_t ShowMainDialog(HWND parent) {
  HWND window = CreateMainDialog(parent);
  if (!window) return 0;
  BeginModalRun(window);
  return RunModalLoop(window);
}

HMENU BuildMenu(HWND window) {
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), L"Autor");
  AppendMenuW(popup, MF_STRING, ID_CREDIT, kCreditItem);
  AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(popup, MF_STRING, ID_SPEED, L"Velocidad");
  SetMenu(window, bar);
  return bar;
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitialisePicture(window);
      // Still hidden: the question comes before the window.
      AskSpeed(L"250");
      break;
    case WM_NCACTIVATE:
      KeepFocus(wParam != 0);
      break;
    case WM_COMMAND:
      // ID_CREDIT (also the map's click notifications) and anything else: nothing.
      if (LOWORD(wParam) == ID_SPEED) AskSpeed(NumberText(SpeedKmh));
      break;
  }
  return 0;
}
