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
    // Written out: std::complex's product checks every result for NaN to redo it the careful
    // way for infinities, which finite spectra never need, at three times the cost of the
    // product itself. For finite values the result is the same to the bit.
    for (size_t i = 0; i < spectrum.c.size(); ++i) {
        const std::complex<double> a = spectrum.c[i], b = h.c[i];
        spectrum.c[i] = {a.real() * b.real() - a.imag() * b.imag(),
                         a.real() * b.imag() + a.imag() * b.real()};
    }
}

Image applyTransfer(const Image &image, const Spectrum &h)
{
    Spectrum s = forward(image);
    multiply(s, h);
    return inverse(std::move(s));
}

} // namespace img
