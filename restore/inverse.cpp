// Inverse.exe: the inverse filter with a threshold.
//
//   Inverse.exe in psf out
//
// Divides the spectrum of `in` by the transfer function H of the point-spread image `psf`
// (centred, scaled so that H(0,0) = 1), except where |H| falls under a threshold that it asks
// for in its console: those frequencies are dropped, since dividing by a near zero turns the
// smallest noise into stripes. Writes an 8-bit PGM.
#include "deconv.h"
#include "linekeys.h"
#include "pnm.h"
#include "prompt.h"
#include "psf.h"
#include "tool.h"

#include <iostream>
#include <utility>

namespace {

const char kUsage[]
    = "uso: Inverse.exe entrada psf salida\n"
      "  Filtro inverso: divide el espectro de «entrada» por el de la PSF (centrada y normalizada\n"
      "  para que H(0,0) = 1) y descarta las frecuencias donde |H| es menor que un umbral, que\n"
      "  pregunta en la consola (Intro: 0,0001). Escribe un PGM de 8 bits.\n";

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 3);
    // The image is let go once transformed: the result takes its place.
    img::Spectrum g, h;
    std::vector<std::string> steps;
    {
        const img::Image blurred = img::readPnm(args[0], nullptr, &steps);
        h = img::transferFunction(img::readPsf(args[1], blurred), blurred.width, blurred.height);
        g = img::forward(blurred);
    }

    std::cout
        << "Filtro inverso de «" << args[0] << "» con la PSF «" << args[1] << "».\n"
        << "Se descartan las frecuencias donde |H| (con H(0,0) = 1) es menor que el umbral.\n";
    const double threshold = restore::askNumber(std::cin, std::cout, "Umbral (se aconseja 0,0001)",
                                                restore::kAdvisedThreshold, 0.0);
    img::noteAnswer("umbral", threshold);
    img::noteAnswer(img::kAdvisedKey, restore::kAdvisedThreshold);
    img::writePgm(args[2], restore::inverseFilter(std::move(g), h, threshold), 8,
                  img::history(steps));
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("Inverse", kUsage, argc, argv, run);
}
