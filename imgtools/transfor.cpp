// transfor.exe: the spectrum as a picture, for "Transformada de Fourier".
//
//   transfor.exe in out
//
// Draws log(1 + |F|) with DC at (width/2, height/2), stretched over the full 8-bit range. F is
// taken on the 0..255 grey scale, the one textbooks use, so that the logarithm lifts the weak
// high frequencies into view the way students have seen it drawn; the spikes of periodic noise
// stand out, and their pixel coordinates are those snr.exe asks for.
#include "fft.h"
#include "frequency.h"
#include "pnm.h"
#include "tool.h"

#include <algorithm>
#include <cmath>

namespace {

const char kUsage[] = "uso: transfor.exe entrada salida\n"
                      "  Escribe en «salida» el espectro centrado de «entrada»: log(1 + |F|), con\n"
                      "  la frecuencia cero en el píxel (ancho/2, alto/2), escalado a 0..255.\n"
                      "  Salida PGM de 8 bits del mismo tamaño que la entrada.\n";

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 2);
    img::Image image = img::readPnm(args[0]);
    img::Spectrum f = img::forward(image);
    // The logarithm and the stretch are taken on the stored half of the spectrum, and
    // drawCentred draws each value twice, into the input image's own storage, which the
    // transform has done with: half the logarithms, and no new image to clear. In single
    // precision, which is twice as fast and still a thousand times finer than the picture's
    // 256 levels.
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (auto &c : f.c) {
        const double v = std::log(1.0f + 255.0f * float(std::sqrt(std::norm(c))));
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        c = v;
    }
    const double scale = hi > lo ? 1.0 / (hi - lo) : 0.0;
    img::drawCentred(f, image, [&](std::complex<double> c) { return (c.real() - lo) * scale; });
    img::writePgm(args[1], image, 8);
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("transfor", kUsage, argc, argv, run);
}
