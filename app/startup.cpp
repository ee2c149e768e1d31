#include "app/startup.h"

#include "common/gdiplus.h"

#include <commctrl.h>
#include "app/main_window.h"
#include "common/state.h"

namespace {

// Looked up at run time: the program still starts where the common controls
// library or its newer entry point is missing.
void InitCommonControlsAtRunTime() {
  HMODULE comctl = LoadLibraryA("COMCTL32.DLL");
  if (!comctl) return;
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto initEx = reinterpret_cast<InitEx>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")));
  if (initEx) {
    constexpr DWORD kClasses = ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES;
    static_assert(kClasses == 0x9FF);
    INITCOMMONCONTROLSEX request{sizeof request, kClasses};
    initEx(&request);
  } else if (auto init = reinterpret_cast<void(WINAPI*)()>(
                 reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControls")))) {
    init();
  }
  FreeLibrary(comctl);
}

}  // namespace

int RunQuimbara() {
  Gdiplus::GdiplusStartupInput input;  // version 1, no callback, nothing suppressed
  if (Gdiplus::GdiplusStartup(&GdiplusToken, &input, nullptr) != Gdiplus::Ok) {
    ShowMessage(L"Error inicializando GDI+ ... (El programa necesita XP ó superior ...)");
    return 0;
  }
  InitCommonControlsAtRunTime();
  ShowMainDialog(nullptr);
  Gdiplus::GdiplusShutdown(GdiplusToken);
  return 0;
}
