// What the canvas holds, for the tests and benchmarks that prove nothing
// accumulates. The program itself has no use for it.
#pragma once

#include <cstddef>

struct CanvasCounts {
  size_t targets;
  size_t fonts;
};
CanvasCounts GetCanvasCounts();
