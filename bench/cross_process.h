// Pointer moves as input tools and accessibility tools deliver them: sent
// from another process. The benchmark starts itself a second time as that
// other process (the driver), which times each move it sends to the
// program's map control and to a bare owner-drawn STATIC doing the same GDI
// work.
#pragma once

#include <windows.h>

struct CrossProcessTimes {
  double programMs;  // median time of one move, as the sender sees it
  double floorMs;
};

// The floor: the GDI work of one move written out. Clear the canvas, copy the
// map (if any), draw the band, copy the canvas to the face, repaint once.
void DrawFloorMove(HDC canvas, HDC map, HBRUSH white, POINT from, POINT to, HDC face,
                   HWND control);

// The bare STATIC in a plain window of its own, with the map as its picture.
HWND CreateFloorWindow(HBITMAP map);

// Starts the driver and serves its messages until it ends.
CrossProcessTimes TimeMovesFromAnotherProcess(HWND programMap, HWND floorControl, int rounds,
                                              int movesPerRound);

// The driver's side: `--drive <program map> <floor control> <rounds> <moves>`.
bool IsDriverCall(int argc, wchar_t** argv);
int DriveMoves(wchar_t** argv);
