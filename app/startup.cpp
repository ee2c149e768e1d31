#include "app/startup.h"

#include "common/gdiplus.h"

#include <commctrl.h>
#include "app/main_window.h"
#include "common/state.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace {

// Windows looks for a DLL that is not a KnownDLL in the program's folder
// first, and later in the current folder and along PATH: places where anyone
// may have left a file of that name. The exe's own imports are found before
// any of its code runs, so GDI+ comes from the side-by-side store, as the
// manifest asks, like the common controls. For what is loaded later,
// SetDllDirectoryW(L"") takes the current folder out of the search (XP SP1
// on), and SetDefaultDllDirectories, where kernel32 has it (Windows 8, or
// Vista and 7 with KB2533623), leaves System32 alone. It is looked up: XP
// refuses to start a program that imports a function it lacks.
void LoadOnlySystemLibraries() {
  SetDllDirectoryW(L"");
  using SetDefault = BOOL(WINAPI*)(DWORD);
  auto setDefault = reinterpret_cast<SetDefault>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

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
  LoadOnlySystemLibraries();
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
