// GDI+ started once for the whole test program, as the program's start-up
// does. Including this header is enough.
#pragma once

#include "app/gdiplus.h"

#include <gtest/gtest.h>

#include "app/state.h"

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&GdiplusToken, &input, nullptr), Gdiplus::Ok);
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(GdiplusToken); }
};

inline ::testing::Environment* const kGdiplusEnvironment =
    ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);
