// Mirror padding and cropping.
#include "padding.h"

#include <stdexcept>
#include <vector>

namespace img {

namespace {

// Index into 0..n-1 of position i on the mirrored line, whose period is 2n.
int reflect(int i, int n)
{
    const int period = 2 * n;
    int k = i % period;
    if (k < 0)
        k += period;
    return k < n ? k : period - 1 - k;
}

} // namespace

Image mirrorPad(const Image &image, int padX, int padY)
{
    if (padX < 0 || padY < 0)
        throw std::invalid_argument("img::mirrorPad: negative padding");
    if (image.size() == 0)
        return image;
    Image out(image.width + 2 * padX, image.height + 2 * padY);
    std::vector<int> column(size_t(out.width));
    for (int x = 0; x < out.width; ++x)
        column[size_t(x)] = reflect(x - padX, image.width);
    for (int y = 0; y < out.height; ++y) {
        const int sy = reflect(y - padY, image.height);
        for (int x = 0; x < out.width; ++x)
            out.at(x, y) = image.at(column[size_t(x)], sy);
    }
    return out;
}

Image crop(const Image &image, int x, int y, int width, int height)
{
    if (x < 0 || y < 0 || width < 0 || height < 0 || x + width > image.width
        || y + height > image.height)
        throw std::invalid_argument("img::crop: block outside the image");
    Image out(width, height);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i)
            out.at(i, j) = image.at(x + i, y + j);
    return out;
}

} // namespace img
