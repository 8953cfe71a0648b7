// imgtools_floor: the least work a tool of the suite can do, for the benchmark to measure against.
//
//   imgtools_floor entrada salida bits directas inversas [otra_entrada ...]
//
// Reads the input (and any other inputs, as a tool reads its PSF), runs `directas` forward
// FFTs of the input's size, divides the first spectrum by the second bin by bin when there
// are two (what a filter does with an image's and a PSF's), runs `inversas` inverse FFTs and
// writes the result as a PGM of `bits` bits. Not installed: it only gives the tools' times
// something to be a ratio of.
#include "fft.h"
#include "pnm.h"
#include "tool.h"

#include <algorithm>
#include <utility>

namespace {

const char kUsage[] = "uso: imgtools_floor entrada salida bits directas inversas [otra ...]\n";

void run(const std::vector<std::string> &args)
{
    if (args.size() < 5)
        throw img::Misuse("faltan argumentos");
    img::Image image = img::readPnm(args[0]);
    for (size_t i = 5; i < args.size(); ++i)
        (void)img::readPnm(args[i]);
    const int bits = img::parsePositive(args[2], "bits");
    const int forwards = std::stoi(args[3]);
    const int inverses = std::stoi(args[4]);
    std::vector<img::Spectrum> spectra;
    for (int i = 0; i < forwards; ++i)
        spectra.push_back(img::forward(image));
    if (spectra.size() >= 2) { // on the doubles, as img::multiply does, and for its reason
        double *a = reinterpret_cast<double *>(spectra[0].c.data());
        const double *b = reinterpret_cast<const double *>(spectra[1].c.data());
        for (size_t i = 0; i < 2 * spectra[0].c.size(); i += 2) {
            const double ar = a[i], ai = a[i + 1], br = b[i], bi = b[i + 1];
            const double power = br * br + bi * bi + 1e-30;
            a[i] = (ar * br + ai * bi) / power;
            a[i + 1] = (ai * br - ar * bi) / power;
        }
    }
    spectra.resize(std::min<size_t>(spectra.size(), 1));
    for (int i = 0; i < inverses && !spectra.empty(); ++i)
        image = i + 1 < inverses ? img::inverse(spectra[0]) : img::inverse(std::move(spectra[0]));
    img::writePgm(args[1], image, bits == 16 ? 16 : 8);
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("floor", kUsage, argc, argv, run);
}
