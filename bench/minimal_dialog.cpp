// The smallest Win32 program that shows one dialog: the yardstick for how
// long Quimbara takes to put its first box on the screen.
#include <windows.h>

#include <vector>

namespace {
INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(window, 0);
    return TRUE;
  }
  return message == WM_INITDIALOG;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  std::vector<WORD> t(64, 0);
  auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
  d->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_MODALFRAME;
  d->cx = 150;
  d->cy = 100;
  const wchar_t title[] = L"Minimal";
  WORD* p = reinterpret_cast<WORD*>(d + 1) + 2;  // no menu, standard class
  for (wchar_t c : title) *p++ = c;
  return static_cast<int>(DialogBoxIndirectParamW(instance, d, nullptr, Proc, 0));
}
