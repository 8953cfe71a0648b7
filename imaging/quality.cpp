// Measuring an image against a reference.
#include "quality.h"

#include "pnm.h"

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
    const unsigned maxval = bits == 16 ? 65535 : 255;
    Image out(image.width, image.height);
    for (size_t i = 0; i < image.size(); ++i)
        out.px[i] = quantise(image.px[i], maxval) / double(maxval);
    return out;
}

} // namespace img
