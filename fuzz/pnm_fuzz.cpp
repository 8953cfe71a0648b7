// libFuzzer harness for the PNM reader: any bytes must either decode to an image within the
// limits, with grey levels on 0..1, or be refused with one ImageError line naming the file.
// Never a crash, an overrun, undefined behaviour, an exit() or a huge allocation.
//
// Built and run by scripts/fuzz.sh; the seed corpus in fuzz/corpus is also replayed by the
// ordinary test suite (replay_main.cpp).
#include "pnm.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    try {
        const img::Image image = img::decodePnm(bytes, "fuzz.pgm");
        require(image.width >= 1 && image.width <= img::kMaxSide);
        require(image.height >= 1 && image.height <= img::kMaxSide);
        require(image.px.size() == size_t(image.width) * size_t(image.height));
        for (double v : image.px)
            require(v >= 0.0 && v <= 1.0);
        // What the tools write must read back at the same size and, at 16 bits, the same
        // levels to within rounding.
        const img::Image back = img::decodePnm(img::encodePgm(image, 16), "fuzz.pgm");
        require(back.width == image.width && back.height == image.height);
        for (size_t i = 0; i < back.px.size(); ++i)
            require(back.px[i] - image.px[i] < 1e-5 && image.px[i] - back.px[i] < 1e-5);
    } catch (const img::ImageError &e) {
        const std::string_view message = e.what();
        require(!message.empty());
        require(message.find('\n') == std::string_view::npos);
        require(message.find("«fuzz.pgm»") != std::string_view::npos);
    }
    return 0;
}
