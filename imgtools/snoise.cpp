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
    img::PnmRows in(args[0]);
    const int w = in.width();
    const int h = in.height();
    // The noise at (x, y) is the sum over the waves of A·cos(a + b), a = 2π·ku·x/w and
    // b = 2π·kv·y/h, ku and kv whole bins, so it is exactly periodic in the image. It is
    // added to each row between reading and writing it, so the image is never held whole, and
    // each wave's cosine is split by axis, cos(a + b) = cos a·cos b − sin a·sin b, so that a
    // pixel costs additions and products from tables: a wave along the width alone (kv = 0)
    // is a fixed row, one along the height alone (ku = 0) a constant for the row, and only a
    // wave along both needs its two products.
    std::vector<double> along(size_t(w), 0.0); // the waves along the width alone
    struct Wave
    {
        std::vector<double> cosA, sinA; // A·cos a and A·sin a along the row
        std::vector<double> cosB, sinB; // cos b and sin b down the image
    };
    std::vector<Wave> both;
    std::vector<double> down(size_t(h), 0.0); // the waves along the height alone
    for (const auto &f : kFrequencies) {
        const double ku = std::round(f[0] * w), kv = std::round(f[1] * h);
        auto angle = [](double k, int i, int n) { return 2.0 * std::numbers::pi * k * i / n; };
        if (kv == 0.0) {
            for (int x = 0; x < w; ++x)
                along[size_t(x)] += kAmplitude * std::cos(angle(ku, x, w));
        } else if (ku == 0.0) {
            for (int y = 0; y < h; ++y)
                down[size_t(y)] += kAmplitude * std::cos(angle(kv, y, h));
        } else {
            Wave &wave = both.emplace_back();
            for (int x = 0; x < w; ++x) {
                wave.cosA.push_back(kAmplitude * std::cos(angle(ku, x, w)));
                wave.sinA.push_back(kAmplitude * std::sin(angle(ku, x, w)));
            }
            for (int y = 0; y < h; ++y) {
                wave.cosB.push_back(std::cos(angle(kv, y, h)));
                wave.sinB.push_back(std::sin(angle(kv, y, h)));
            }
        }
    }
    const auto noisy = [&](int y, double *out) {
        in.next(out);
        const double constant = down[size_t(y)];
        for (int x = 0; x < w; ++x)
            out[x] = out[x] + along[size_t(x)] + constant;
        for (const Wave &wave : both) {
            const double c = wave.cosB[size_t(y)], s = wave.sinB[size_t(y)];
            for (int x = 0; x < w; ++x)
                out[x] += wave.cosA[size_t(x)] * c - wave.sinA[size_t(x)] * s;
        }
        return out;
    };
    img::writePgm(args[1], w, h, 16, noisy, img::history(in.comments()));
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("snoise", kUsage, argc, argv, run);
}
