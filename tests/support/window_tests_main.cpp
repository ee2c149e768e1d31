// GDI+ is started once for the whole test program, as the program's start-up does.
#include <gtest/gtest.h>

#include "common/gdiplus.h"
#include "common/state.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&GdiplusToken, &input, nullptr) != Gdiplus::Ok) return 1;
  const int failed = RUN_ALL_TESTS();
  Gdiplus::GdiplusShutdown(GdiplusToken);
  return failed;
}
