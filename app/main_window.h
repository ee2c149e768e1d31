#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

int32_t ShowMainDialog(HWND parent);
HMENU BuildMenu(HWND window);
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The map file beside the running executable.
std::wstring MapFilePath();

// ShowMainDialog in its three stages, so that tests can drive the real
// window between them.
HWND CreateMainDialog(HWND parent);
void BeginModalRun(HWND window);
int32_t RunModalLoop(HWND window);
