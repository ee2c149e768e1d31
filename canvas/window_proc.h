// Window procedures handed to Windows as what they are. A procedure's type
// carries its calling convention, which only a 32-bit build can get wrong:
// the parameter below makes the compiler check it, where a cast of the
// function to LONG_PTR would accept any function at all.
#pragma once

#include <windows.h>

// Installs `procedure` as the window's procedure; returns the one it replaces.
inline WNDPROC ReplaceWindowProc(HWND window, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}
