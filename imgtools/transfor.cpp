// transfor: the spectrum as a picture, for "Transformada de Fourier".
//
// Draws log(1 + |F|) with DC at (width/2, height/2), stretched over the full 8-bit range. F is
// taken on the 0..255 grey scale, the one textbooks use, so that the logarithm lifts the weak
// high frequencies into view the way students have seen it drawn; the spikes of periodic noise
// stand out, and their pixel coordinates are those snr.exe asks for.
#include "fft.h"
#include "pnm.h"
#include "spectrum.h"
#include "tone.h"
#include "tool.h"

#include <cmath>

namespace {

const char kUsage[] = "uso: transfor.exe entrada salida\n"
                      "  Escribe en «salida» el espectro centrado de «entrada»: log(1 + |F|), con\n"
                      "  la frecuencia cero en el píxel (ancho/2, alto/2), escalado a 0..255.\n"
                      "  Salida PGM de 8 bits del mismo tamaño que la entrada.\n";

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 2);
    const img::Image in = img::readPnm(args[0]);
    img::Image shown = img::centredMagnitude(img::forward(in));
    for (double &v : shown.px)
        v = std::log1p(255.0 * v);
    img::writePgm(args[1], img::stretchMinMax(shown), 8);
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("transfor", kUsage, argc, argv, run);
}
