// Mirror padding: what a filter that should not treat the image as periodic puts around it
// before a circular FFT, so that the opposite borders do not bleed into each other.
#pragma once

#include "image.h"

namespace img {

// The image extended by `padX` columns on the left and on the right and `padY` rows above and
// below, mirrored about its borders with the edge pixel repeated (..., 1, 0 | 0, 1, ...).
// Pads wider than the image keep reflecting.
Image mirrorPad(const Image &image, int padX, int padY);

// The width × height block whose top-left pixel is (x, y); it must lie inside the image.
Image crop(const Image &image, int x, int y, int width, int height);

} // namespace img
