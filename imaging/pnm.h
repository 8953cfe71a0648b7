// PNM input and output for the image tools.
//
// Reads PGM (P2, P5; maxval 1..65535), PPM (P3, P6; to luminance) and PBM (P1, P4). Writes
// binary PGM, 8 or 16 bits, always through a temporary file in the target's folder that is
// renamed over the target, so a reader never sees half an image.
#pragma once

#include "errors.h"
#include "image.h"

#include <string>
#include <string_view>

namespace img {

constexpr int kMaxSide = 16384;

// Decodes a whole PNM file held in memory; `name` is used in messages only.
Image decodePnm(std::string_view bytes, const std::string &name);

// Reads a PNM file; the name is resolved in its folder without regard to letter case.
Image readPnm(const std::string &path);

// A value as a PGM file of `maxval` stores it: clamped to 0..1 (NaN to 0) and rounded to the
// nearest of the levels 0..maxval.
inline unsigned quantise(double v, unsigned maxval)
{
    // NaN fails both comparisons and becomes black rather than undefined behaviour.
    const double clamped = v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0;
    return unsigned(clamped * maxval + 0.5); // clamped is 0..1: no overflow
}

// Encodes binary PGM: values clamped to 0..1 and rounded to 8 (maxval 255) or 16 bits (65535).
std::string encodePgm(const Image &image, int bits);

// Writes binary PGM atomically; the name is resolved without regard to letter case, so an
// existing "Distor.pgm" is replaced when "distor.pgm" is asked for.
void writePgm(const std::string &path, const Image &image, int bits);

} // namespace img
