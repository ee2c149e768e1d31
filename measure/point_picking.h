#pragma once

#include <windows.h>

// The map control's window procedure, installed over the control's own.
LRESULT CALLBACK MapControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The canvas back to the bare map (white where there is no map): whatever
// was drawn over it goes.
void RebuildBase();
// The canvas onto the map control, which shows it at once.
void ShowCanvas();
