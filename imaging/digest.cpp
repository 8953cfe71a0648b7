// A short digest of a picture.
#include "digest.h"

#include "pnm.h"

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
    std::uint64_t hash = kOffset;
    mixWord(hash, std::uint32_t(image.width));
    mixWord(hash, std::uint32_t(image.height));
    mixWord(hash, 255);
    for (const double v : image.px)
        mix(hash, static_cast<unsigned char>(quantise(v, 255)));
    return hash;
}

std::string digestText(std::uint64_t digest)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

} // namespace img
