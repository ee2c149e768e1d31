#pragma once

#include <windows.h>

// The map control's window procedure, installed over the control's own.
LRESULT CALLBACK MapControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
