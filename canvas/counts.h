// How many targets and fonts the canvas holds: for the tests and benchmarks
// that show nothing accumulates while the map is dragged on.
#pragma once

#include <cstddef>

struct CanvasCounts {
  size_t targets;
  size_t fonts;
};
CanvasCounts GetCanvasCounts();
