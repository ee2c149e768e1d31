// The window tests' entry point: GDI+ started once for the whole program, as
// the program's start-up does. A test that waits for ever (a menu or a box
// nobody answers) is ended by CTest's time limit, which names it.
#include <gtest/gtest.h>

#include "common/gdiplus.h"
#include "common/state.h"

namespace {

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&GdiplusToken, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(GdiplusToken); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
  return RUN_ALL_TESTS();
}
