#pragma once
#include <cstdint>

struct FitSize {
  uint32_t width, height;
};

// The size an image is drawn at in a width x height box. A zero box side
// takes the image's own size. Unless exactSize, the side that does not
// govern shrinks to keep the proportions; an image smaller than the box in
// the governing direction is stretched to the box. Never returns a zero side.
FitSize FitImageBox(uint32_t width, uint32_t height, float imageWidth, float imageHeight,
                    bool exactSize);
