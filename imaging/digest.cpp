// A short digest of a picture.
#include "digest.h"

#include <algorithm>
#include <cstdio>

namespace img {

namespace {

constexpr std::uint64_t kOffset = 14695981039346656037ull;
constexpr std::uint64_t kPrime = 1099511628211ull;

void mix(std::uint64_t &hash, unsigned char byte)
{
    hash = (hash ^ byte) * kPrime;
}

// A number as four little-endian bytes.
void mixWord(std::uint64_t &hash, std::uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        mix(hash, static_cast<unsigned char>(word >> (8 * i)));
}

} // namespace

std::uint64_t pictureDigest(const Image &image)
{
    return pictureDigest(image.width, image.height, [&image](int y, double *) {
        return image.px.data() + size_t(y) * size_t(image.width);
    });
}

std::uint64_t pictureDigest(int width, int height, const RowSource &row)
{
    std::uint64_t hash = kOffset;
    mixWord(hash, std::uint32_t(width));
    mixWord(hash, std::uint32_t(height));
    mixWord(hash, 255);
    std::vector<double> scratch(size_t(std::max(width, 0)));
    for (int y = 0; y < height; ++y) {
        const double *values = row(y, scratch.data());
        for (int x = 0; x < width; ++x)
            mix(hash, static_cast<unsigned char>(quantise(values[x], 255)));
    }
    return hash;
}

std::string digestText(std::uint64_t digest)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

} // namespace img
