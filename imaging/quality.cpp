// Measuring an image against a reference.
#include "quality.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace img {

double psnr(const Image &image, const Image &reference)
{
    if (image.width != reference.width || image.height != reference.height)
        throw std::invalid_argument("img::psnr: images of different sizes");
    if (image.size() == 0)
        return std::numeric_limits<double>::infinity();
    double sum = 0.0;
    for (size_t i = 0; i < image.size(); ++i) {
        const double d = image.px[i] - reference.px[i];
        sum += d * d;
    }
    const double mse = sum / double(image.size());
    return mse > 0.0 ? 10.0 * std::log10(1.0 / mse) : std::numeric_limits<double>::infinity();
}

Image quantised(const Image &image, int bits)
{
    const double levels = bits == 16 ? 65535.0 : 255.0;
    Image out(image.width, image.height);
    for (size_t i = 0; i < image.size(); ++i) {
        const double v = image.px[i];
        const double clamped = v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0;
        out.px[i] = std::round(clamped * levels) / levels;
    }
    return out;
}

} // namespace img
