// snoise.exe: structured noise, the distortion "Ruido Estructurado".
//
//   snoise.exe in out
//
// Periodic interference as a badly shielded cable puts on a picture: three cosines, each of
// 8 grey levels (of 255), at fixed frequencies well away from the centre of the spectrum.
// Each frequency is rounded to a whole bin of the image's own DFT, so each cosine is one
// bright pair of points in FFT.pgm and nothing else: snr.exe can remove it whole by zeroing
// that pair, and the student sees why.
#include "pnm.h"
#include "tool.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

const char kUsage[]
    = "uso: snoise.exe entrada salida\n"
      "  Añade ruido periódico: tres cosenos de amplitud 8 niveles de gris (de 255)\n"
      "  cada uno, de frecuencias (1/6, 0), (0, 1/5) y (1/8, 1/8) ciclos por píxel\n"
      "  (horizontal, vertical), redondeadas al bin entero más cercano de la imagen.\n"
      "  En el espectro son tres pares de picos simétricos. Dispersión del ruido:\n"
      "  desviación típica 8·√(3/2) ≈ 9,8 niveles de gris, 0,038 en la escala 0–1.\n"
      "  Salida PGM de 16 bits.\n";

constexpr double kAmplitude = 8.0 / 255.0;

// Cycles per pixel along the width and along the height.
constexpr double kFrequencies[3][2] = {{1.0 / 6.0, 0.0}, {0.0, 1.0 / 5.0}, {1.0 / 8.0, 1.0 / 8.0}};

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 2);
    img::Image image = img::readPnm(args[0]);
    const int w = image.width;
    const int h = image.height;
    // A table per axis and cosine keeps the loop to additions; the angle of a whole-bin
    // frequency is 2π·k·x/n with k an integer, so the noise is exactly periodic in the image.
    for (const auto &f : kFrequencies) {
        const double ku = std::round(f[0] * w);
        const double kv = std::round(f[1] * h);
        std::vector<double> cu(static_cast<size_t>(w)), su(static_cast<size_t>(w));
        for (int x = 0; x < w; ++x) {
            const double a = 2.0 * std::numbers::pi * ku * x / w;
            cu[size_t(x)] = std::cos(a);
            su[size_t(x)] = std::sin(a);
        }
        for (int y = 0; y < h; ++y) {
            const double b = 2.0 * std::numbers::pi * kv * y / h;
            const double cb = std::cos(b), sb = std::sin(b);
            double *row = &image.px[size_t(y) * size_t(w)];
            for (int x = 0; x < w; ++x) // cos(a + b)
                row[x] += kAmplitude * (cu[size_t(x)] * cb - su[size_t(x)] * sb);
        }
    }
    img::writePgm(args[1], image, 16);
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("snoise", kUsage, argc, argv, run);
}
