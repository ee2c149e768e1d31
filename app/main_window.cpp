#include "app/main_window.h"

#include <string>

#include "app/dialog_template.h"
#include "app/speed_prompt.h"
#include "common/state.h"
#include "canvas/canvas.h"
#include "canvas/owned.h"
#include "canvas/window_proc.h"
#include "measure/map_loader.h"
#include "measure/number_text.h"
#include "measure/point_picking.h"
#include "res/resource.h"

namespace {

constexpr DWORD kRequestedStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION |
                                  WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT |
                                  DS_NOFAILCREATE | DS_3DLOOK;
static_assert(kRequestedStyle == 0x94CA00D4);
// Created hidden: the window shows only once the picture and the speed are there.
constexpr DWORD kMainStyle = kRequestedStyle & ~WS_VISIBLE;
constexpr DWORD kMainExStyle = WS_EX_CONTROLPARENT;
static_assert(kMainExStyle == 0x10000);
// The map control's own style; the canvas adds WS_CHILD, WS_VISIBLE and SS_OWNERDRAW.
constexpr DWORD kMapStyle = SS_NOTIFY;
static_assert((WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | kMapStyle) == 0x5000010D);
// One column wider and one row shorter than the map, and the menu bar then
// takes its height from this too: the window keeps the outer size it has
// always had, so the map's last rows sit under the lower edge and the
// client's last column shows the window's background.
constexpr int kClientWidth = kCanvasWidth + 1;
constexpr int kClientHeight = kCanvasHeight - 1;
constexpr wchar_t kCreditItem[] = L"Realizado por https://quimbara.example/";
constexpr wchar_t kMapFileName[] = L"Mapa_Politico_de_Espana.jpg";
constexpr wchar_t kNoMemory[] =
    L"No hay memoria suficiente para mostrar el mapa: cierre otros programas y vuelva a abrir "
    L"Quimbara.";

// All the window is for is the map: when there is no memory (or no GDI
// objects left) for it, the window goes and the user hears this, and what to do.
HWND EndForWantOfMemory(HWND window) {
  if (window) DestroyWindow(window);
  ShowMessage(kNoMemory);
  return nullptr;
}

// The window whose callback is live. Until the modal run starts, messages
// get only the dialog defaults.
HWND callbackWindow = nullptr;

// Each icon is loaded at its own size: a shared load would hand back the
// first size it cached whatever the size asked for, and the 16-pixel image
// would never be used. The window owns them (ReleaseIcons).
void SetIcons(HWND window) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  auto load = [module](int size) {
    return OwnedIcon(static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(IDI_QUIMBARA), IMAGE_ICON, size, size, 0)));
  };
  OwnedIcon big = load(32);
  if (!big) return;
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.release()));
  if (OwnedIcon small = load(16))
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.release()));
}

// Once the window is going, its icons are taken back from it and destroyed.
void ReleaseIcons(HWND window) {
  for (WPARAM which : {ICON_BIG, ICON_SMALL}) {
    if (HICON icon = reinterpret_cast<HICON>(SendMessageW(window, WM_SETICON, which, 0)))
      DestroyIcon(icon);
  }
}

// The module's own path, or none when it fills MAX_PATH and so was cut
// short: Windows starts no program from a folder that deep.
std::wstring ModuleFileName() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// False when there is nothing to compose a picture on.
bool InitialisePicture() {
  CanvasBitmap = NewBitmap(kCanvasWidth, kCanvasHeight);
  if (!CanvasBitmap) return false;
  Attach(CanvasBitmap);
  Clear(RGB(255, 255, 255));
  // The exe carries no resource 500, so this draws nothing; and whatever it
  // drew, RebuildBase below clears the canvas before anything is shown.
  RenderResource(L"#500", 0, 0, kCanvasWidth, kCanvasHeight);

  // Ends the program when the map is missing; an unreadable one has been
  // reported, and leaves the map white.
  const LoadedMap map = LoadMapBitmap(MapFilePath());
  if (map.outcome == MapLoad::kNoMemory) return false;
  MapBitmap = map.bitmap;

  RebuildBase();
  ShowCanvas();
  return true;
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

// The dialog procedure Windows calls for the main window: it decides when
// MainDialogProc, the program's callback, is live, and then supplies the
// defaults around it.
INT_PTR CALLBACK MainDialogDefaultsProc(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  // The system's own initialisation and activation calls stay with the
  // dialog manager: the modal run makes the real initialisation call.
  if (message == WM_INITDIALOG || message == WM_ACTIVATE) return FALSE;

  if (window == callbackWindow) MainDialogProc(window, message, wParam, lParam);

  switch (message) {
    case WM_DRAWITEM:
      if (wParam == ID_MAP)
        return PaintCanvasControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      break;
    case WM_CTLCOLORSTATIC:
      // The map paints every pixel of itself, so the colours asked for
      // before each repaint go unused. Answered here, the dialog manager
      // doesn't look them up on every pointer move of a drag.
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == ID_MAP)
        return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
      break;
    case WM_SYSCOMMAND:
      // Left to the dialog manager, the Close command would turn into
      // IDCANCEL, which the callback ignores so that Escape can't close the
      // window. Caught here, the close box, Alt+F4 and the system menu end it.
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
    case WM_NCDESTROY:
      ReleaseIcons(window);
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
  // No items, and no size yet: it is set once the frame can be measured.
  DialogTemplate dialog(kMainStyle, kMainExStyle, 0, 0, L"", 8, L"MS Sans Serif");
  HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), parent,
                                           MainDialogDefaultsProc, 0);
  if (!window) return EndForWantOfMemory(nullptr);

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
  // Two layers over the plain static: the canvas's own procedure (focus on
  // press, keys kept from the dialog manager) and, on top, MapControlProc,
  // which turns drags into measurements. Each layer hands on to the one below.
  HWND map = CreateCanvasControl(window, ID_MAP, 0, 0, kCanvasWidth, kCanvasHeight, kMapStyle);
  if (!map) return EndForWantOfMemory(window);
  Attach(window, ID_MAP);
  SetColors(kDefaultColor, RGB(0xC0, 0xC0, 0xC0));
  Clear(kDefaultColor);
  BuildMenu(window);
  OldMapControlProc = ReplaceWindowProc(map, MapControlProc);
  return window;
}

void BeginModalRun(HWND window) {
  SetForegroundWindow(window);
  MainDialogProc(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(window), 0);
  if (!IsWindow(window)) return;
  RECT client{};
  GetClientRect(window, &client);
  MainDialogProc(window, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
  callbackWindow = window;
  ShowWindow(window, SW_SHOW);
}

// Waits for messages rather than polling, so an idle window costs no CPU.
// A quit asked of the thread ends the run, and stays asked: it is posted
// again for whatever loop runs outside this one, as the system's own modal
// loops do.
int32_t RunModalLoop(HWND window) {
  MSG msg;
  while (IsWindow(window)) {
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
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
  const int32_t ended = RunModalLoop(window);
  // A run ended by a quit leaves the window: it goes with the run.
  if (IsWindow(window)) DestroyWindow(window);
  return ended;
}

// Short of memory the window goes on without its menu, or with fewer items:
// the map still measures, at the speed already given.
HMENU BuildMenu(HWND window) {
  OwnedMenu bar(CreateMenu());
  OwnedMenu popup(CreatePopupMenu());
  if (!bar || !popup ||
      !AppendMenuW(bar.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup.get()),
                   L"Autor"))
    return nullptr;
  // Once appended, the popup is the bar's, and goes with it.
  HMENU items = popup.release();
  AppendMenuW(items, MF_STRING, ID_CREDIT, kCreditItem);
  AppendMenuW(items, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(items, MF_STRING, ID_SPEED, L"Velocidad");
  if (!SetMenu(window, bar.get())) return nullptr;
  return bar.release();
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      // Without the picture the window ends before it is shown.
      if (!InitialisePicture()) {
        EndForWantOfMemory(window);
        break;
      }
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
