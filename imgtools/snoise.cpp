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
#include <iterator>
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
    // All three cosines are added in one pass over the image, in the same order as one pass
    // each would add them: the image is read and written once instead of three times.
    constexpr size_t kWaves = std::size(kFrequencies);
    std::vector<double> cu[kWaves], su[kWaves], cv[kWaves], sv[kWaves];
    for (size_t i = 0; i < kWaves; ++i) {
        const double ku = std::round(kFrequencies[i][0] * w);
        const double kv = std::round(kFrequencies[i][1] * h);
        cu[i].resize(size_t(w)), su[i].resize(size_t(w)), cv[i].resize(size_t(h)),
            sv[i].resize(size_t(h));
        for (int x = 0; x < w; ++x) {
            const double a = 2.0 * std::numbers::pi * ku * x / w;
            cu[i][size_t(x)] = std::cos(a);
            su[i][size_t(x)] = std::sin(a);
        }
        for (int y = 0; y < h; ++y) {
            const double b = 2.0 * std::numbers::pi * kv * y / h;
            cv[i][size_t(y)] = std::cos(b);
            sv[i][size_t(y)] = std::sin(b);
        }
    }
    static_assert(kWaves == 3);
    for (int y = 0; y < h; ++y) {
        const double c0 = cv[0][size_t(y)], s0 = sv[0][size_t(y)], c1 = cv[1][size_t(y)],
                     s1 = sv[1][size_t(y)], c2 = cv[2][size_t(y)], s2 = sv[2][size_t(y)];
        const double *u0 = cu[0].data(), *v0 = su[0].data(), *u1 = cu[1].data(), *v1 = su[1].data(),
                     *u2 = cu[2].data(), *v2 = su[2].data();
        double *row = &image.px[size_t(y) * size_t(w)];
        for (int x = 0; x < w; ++x) // cos(a + b) of each wave
            row[x] = ((row[x] + kAmplitude * (u0[x] * c0 - v0[x] * s0))
                      + kAmplitude * (u1[x] * c1 - v1[x] * s1))
                + kAmplitude * (u2[x] * c2 - v2[x] * s2);
    }
    img::writePgm(args[1], image, 16);
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("snoise", kUsage, argc, argv, run);
}
