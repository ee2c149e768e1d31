#include "measure/point_picking.h"

#include "app/state.h"

LRESULT CALLBACK MapControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(OldMapControlProc, window, message, wParam, lParam);
}
