// Point-spread functions and their transfer functions.
#include "psf.h"

#include "errors.h"
#include "pnm.h"

#include <filesystem>
#include <stdexcept>
#include <utility>
#include <vector>

namespace img {

namespace {

double sum(const Image &image)
{
    double total = 0.0;
    for (double v : image.px)
        total += v;
    return total;
}

std::string size(int width, int height)
{
    return std::to_string(width) + " × " + std::to_string(height);
}

} // namespace

void checkPsf(const Image &psf, const Image &image, const std::string &name)
{
    if (!(sum(psf) > 0.0))
        throw BadInput("la PSF «" + name + "» es toda cero: no describe ningún desenfoque");
    if (psf.width > image.width || psf.height > image.height)
        throw BadInput("la PSF «" + name + "» (" + size(psf.width, psf.height)
                       + ") es mayor que la imagen (" + size(image.width, image.height) + ")");
}

Image readPsf(const std::string &path, const Image &image)
{
    Image psf = readPnm(path);
    checkPsf(psf, image, std::filesystem::path(path).filename().string());
    return psf;
}

Spectrum transferFunction(const Image &psf, int width, int height)
{
    const double total = sum(psf);
    if (!(total > 0.0) || psf.width > width || psf.height > height)
        throw BadInput("la PSF no cabe en la imagen o es toda cero");
    // Only the PSF's own rows are non-zero once it is moved to the origin, so only they
    // need a row transform.
    Image rows(width, psf.height);
    std::vector<int> rowAt(size_t(psf.height));
    const int cx = psf.width / 2;
    const int cy = psf.height / 2;
    for (int y = 0; y < psf.height; ++y) {
        rowAt[size_t(y)] = (y - cy + height) % height;
        for (int x = 0; x < psf.width; ++x)
            rows.at((x - cx + width) % width, y) = psf.at(x, y) / total;
    }
    return forwardOfRows(rows, rowAt, height);
}

Image motionPsf(int length)
{
    if (length < 1)
        throw std::invalid_argument("img::motionPsf: length must be positive");
    return Image(length, 1, 1.0);
}

void multiply(Spectrum &spectrum, const Spectrum &h)
{
    if (spectrum.width != h.width || spectrum.height != h.height)
        throw std::invalid_argument("img::multiply: spectra of different sizes");
    // Written out on the doubles a std::complex is made of: std::complex's product checks
    // every result for NaN to redo it the careful way for infinities, which finite spectra
    // never need, and written on std::complex values GCC moves each pair through the stack,
    // a stalled load per bin that made this loop a sixth of blur.exe. For finite values the
    // result is the same to the bit.
    double *a = reinterpret_cast<double *>(spectrum.c.data());
    const double *b = reinterpret_cast<const double *>(h.c.data());
    for (size_t i = 0; i < 2 * spectrum.c.size(); i += 2) {
        const double ar = a[i], ai = a[i + 1], br = b[i], bi = b[i + 1];
        a[i] = ar * br - ai * bi;
        a[i + 1] = ar * bi + ai * br;
    }
}

Image applyTransfer(const Image &image, const Spectrum &h)
{
    Spectrum s = forward(image);
    multiply(s, h);
    return inverse(std::move(s));
}

} // namespace img
