// The window tests' entry point: GDI+ started once for the whole program, as
// the program's start-up does, and a watchdog that turns a test that waits
// for ever into a failure that says so.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "common/gdiplus.h"
#include "common/state.h"
#include "watchdog.h"

namespace {

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&GdiplusToken, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(GdiplusToken); }
};

std::atomic<DWORD> started{0};
std::atomic<DWORD> allowed{0};
std::string running;  // written before `started`, read after it

// A modal loop that never ends (a menu, a box nobody answers) holds the
// test's thread; this one, apart, ends the program with a message instead.
DWORD WINAPI Watch(void*) {
  for (;;) {
    Sleep(250);
    const DWORD since = started.load();
    if (since && GetTickCount() - since > allowed.load()) {
      std::fprintf(stderr, "FAIL: %s still running after %lu s: something it waits for never came\n",
                   running.c_str(), static_cast<unsigned long>(allowed.load() / 1000));
      std::fflush(stderr);
      TerminateProcess(GetCurrentProcess(), 3);
    }
  }
}

class WatchdogListener : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& test) override {
    running = std::string(test.test_suite_name()) + "." + test.name();
    AllowSeconds(20);
  }
  void OnTestEnd(const ::testing::TestInfo&) override { started = 0; }
};

}  // namespace

void AllowSeconds(int seconds) {
  allowed = static_cast<DWORD>(seconds) * 1000;
  started = GetTickCount();
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
  ::testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
  CloseHandle(CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr));
  return RUN_ALL_TESTS();
}
