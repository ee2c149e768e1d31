#include "measure/image_fit.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  uint32_t width, height;
  float imageWidth, imageHeight;
  bool exactSize;
  uint32_t fitWidth, fitHeight;
};

const Case kCases[] = {
    {1000, 1000, 2000, 1000, false, 1000, 500},   // wide image shrinks its height
    {1000, 1000, 1000, 2000, false, 500, 1000},   // tall image shrinks its width
    {1000, 1000, 500, 250, false, 1000, 1000},    // smaller than the box: stretched
    {1000, 1000, 2000, 2000, false, 1000, 1000},  // same proportions
    {1267, 990, 2000, 1000, true, 1267, 990},
    {1267, 990, 10, 10, true, 1267, 990},
    {0, 0, 640, 480, false, 640, 480},            // zero sides take the image size
    {0, 300, 600, 600, false, 300, 300},
    {0, 0, 2.5f, 3.5f, true, 2, 4},               // image size rounded half to even
    {4, 4, 8, 5, false, 4, 2},                    // 2.5 -> 2
    {4, 4, 8, 7, false, 4, 4},                    // 3.5 -> 4
    {1000, 1000, 10000, 1, false, 1000, 1},       // would be 0: kept at one pixel
    {1000, 1000, 1, 10000, false, 1, 1000},
    {0, 0, 0.25f, 0.25f, false, 1, 1},
};

TEST(ImageFit, SizeForEachCase) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " for " << c.imageWidth << "x"
                                    << c.imageHeight << (c.exactSize ? " exact" : " keep"));
    const FitSize fit = FitImageBox(c.width, c.height, c.imageWidth, c.imageHeight, c.exactSize);
    EXPECT_EQ(fit.width, c.fitWidth);
    EXPECT_EQ(fit.height, c.fitHeight);
  }
}

}  // namespace
