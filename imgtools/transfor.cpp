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
#include <vector>

namespace {

const char kUsage[] = "uso: transfor.exe entrada salida\n"
                      "  Escribe en «salida» el espectro centrado de «entrada»: log(1 + |F|), con\n"
                      "  la frecuencia cero en el píxel (ancho/2, alto/2), escalado a 0..255.\n"
                      "  Salida PGM de 8 bits del mismo tamaño que la entrada.\n";

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 2);
    // The image goes from the file straight into the transform's own storage, a row at a time:
    // it is never held as an image of its own.
    img::PnmRows in(args[0]);
    img::Spectrum f
        = img::forwardFilled(in.width(), in.height(), [&](int, double *row) { in.next(row); });
    const int w = f.width, h = f.height, hw = f.halfWidth();
    // The logarithm and the stretch are taken on the stored half of the spectrum, in single
    // precision, which is twice as fast and still a thousand times finer than the picture's
    // 256 levels. Logarithm i goes to double i of the spectrum's own storage, which coefficient
    // i (doubles 2i and 2i + 1) has already been read from.
    double *logs = reinterpret_cast<double *>(f.c.data());
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (size_t i = 0; i < f.c.size(); ++i) {
        const double v = std::log(1.0f + 255.0f * float(std::sqrt(std::norm(f.c[i]))));
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        logs[i] = v;
    }
    const double scale = hi > lo ? 1.0 / (hi - lo) : 0.0;
    // Each row of the picture is gathered as it is written: display row y shows frequency row
    // v, whose bins u >= 0 are stored and whose others are the twins of row -v, so each
    // logarithm is drawn twice and taken once.
    std::vector<int> bin(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x)
        bin[size_t(x)] = img::binOfDisplay(x, w);
    img::writePgm(args[1], w, h, 8, [&](int y, double *out) {
        const int v = img::binOfDisplay(y, h);
        const double *row = &logs[size_t(v) * size_t(hw)];
        const double *twin = &logs[size_t((h - v) % h) * size_t(hw)];
        for (int x = 0; x < w; ++x) {
            const int u = bin[size_t(x)];
            out[x] = ((u < hw ? row[u] : twin[w - u]) - lo) * scale;
        }
        return out;
    });
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("transfor", kUsage, argc, argv, run);
}
