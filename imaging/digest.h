// A short digest of a picture, so that a reader can tell whether a file is still the picture a
// chain started from, whatever its name: align.exe records it in its line (linekeys.h's
// kDigestKey) and the report compares it with align.pgm's own.
#pragma once

#include "image.h"
#include "pnm.h"

#include <cstdint>
#include <string>

namespace img {

// 64-bit FNV-1a over the width, the height, the maxval 255 and the samples as an 8-bit PGM
// stores them (quantise(v, 255)): the pixels of align.pgm as written and as read back give
// one value, and so does a 16-bit file of the same levels. One pixel changed changes it.
std::uint64_t pictureDigest(const Image &image);
// The same, row by row, for a reader that keeps no doubles of the whole picture (the report's
// align.pgm may be a 12-megapixel photograph).
std::uint64_t pictureDigest(int width, int height, const RowSource &row);

// The digest as the line writes it: 16 lower-case hexadecimal digits.
std::string digestText(std::uint64_t digest);

} // namespace img
