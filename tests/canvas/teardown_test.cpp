// The canvas's targets and fonts live until the program exits. Windows
// refuses to delete a font that is still selected into a DC, so the fonts
// must go only once the targets have put their DCs' own fonts back. Wine
// accepts such a deletion and only delays it, so this program doesn't count
// failed deletions: it watches every deletion of a font, from the start of
// the static destruction to the last of the targets' fonts.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "canvas/canvas.h"
#include "../support/import_patch.h"

namespace {

// Plain arrays: they must outlast every static destructor, the canvas's too.
constexpr int kTargets = 2;
HDC targetDCs[kTargets] = {};
HGDIOBJ fontsToGo[kTargets] = {};  // each one selected into its targetDC
int remembered = 0, fontsGone = 0;
void* realDeleteObject = nullptr;

BOOL WINAPI CheckedDeleteObject(HGDIOBJ object) {
  if (GetObjectType(object) == OBJ_FONT) {
    for (HDC dc : targetDCs) {
      if (GetCurrentObject(dc, OBJ_FONT) == object) {
        std::fprintf(stderr, "FAIL: a font is deleted while a target's DC still holds it\n");
        std::fflush(stderr);
        _exit(1);
      }
    }
    fontsGone += std::count(fontsToGo, fontsToGo + kTargets, object);
  }
  const BOOL deleted = reinterpret_cast<decltype(&DeleteObject)>(realDeleteObject)(object);
  if (fontsGone == kTargets) _exit(0);
  return deleted;
}

// A target with a font of its own, remembered.
void Remember() {
  SetFont(NewFont(L"Arial", 10 + static_cast<float>(remembered), kBold));
  const HDC dc = GetCanvasDC();
  targetDCs[remembered] = dc;
  fontsToGo[remembered++] = GetCurrentObject(dc, OBJ_FONT);
}

}  // namespace

int main() {
  Attach(NewBitmap(40, 20));
  Remember();
  HWND popup = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 60, 60, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  CreateCanvasControl(popup, 1, 0, 0, 50, 50, 0);
  Attach(popup, 1);
  Remember();
  for (HDC dc : targetDCs) {
    if (!dc) {
      std::fprintf(stderr, "FAIL: a target could not be made\n");
      return 1;
    }
  }
  // Never destroyed: the static destruction at the exit goes through it.
  const auto* patch = new ImportPatch("gdi32.dll", "DeleteObject",
                                      reinterpret_cast<void*>(CheckedDeleteObject));
  realDeleteObject = patch->original();
  if (!realDeleteObject) {
    std::fprintf(stderr, "FAIL: DeleteObject is not imported\n");
    return 1;
  }
  // Only the patch, once it has seen every one of the fonts go, ends the
  // program with 0: an exit with 2 deleted them not at all.
  return 2;
}
