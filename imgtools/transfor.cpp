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
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const char kUsage[] = "uso: transfor.exe entrada salida\n"
                      "  Escribe en «salida» el espectro centrado de «entrada»: log(1 + |F|), con\n"
                      "  la frecuencia cero en el píxel (ancho/2, alto/2), escalado a 0..255.\n"
                      "  Salida PGM de 8 bits del mismo tamaño que la entrada.\n";

// The level, 0..255, that the picture gives a bin of p = 1 + 255·|F| in single precision (a
// thousand times finer than the picture's levels): log p stretched so that the least p seen is
// black and the greatest white, and rounded. The logarithm rises with p, so a bin's level is
// fixed by where its p falls among the 255 values of p at which the level steps up: these are
// found once, by bisection, and no bin needs a logarithm of its own.
class Levels
{
public:
    Levels(float least, float most)
        : lo_(std::log(least))
        , scale_(std::log(most) > lo_ ? 1.0 / (std::log(most) - lo_) : 0.0)
        , first_(bits(least) >> kShift)
    {
        findSteps(least, most);
        makeSpans(most);
    }

    int of(float p) const
    {
        const Span &span = spans_[(bits(p) >> kShift) - first_];
        if (!span.crowded)
            return span.below + (p >= span.step);
        int level = 0;
        for (int step = 128; step > 0; step /= 2)
            level += p >= steps_[level + step] ? step : 0;
        return level;
    }

private:
    // Where p falls among the steps is read off a table by p's top bits, those of its sign,
    // exponent and first 8 bits of mantissa: a span of under 0.4 % in p, so of under 0.004 in
    // log p, against a level's 1/255 of the whole range of logarithms. A span holds at most one
    // step unless that range is under 1, in a nearly flat spectrum, whose bins are then placed
    // by bisection of the steps.
    struct Span
    {
        float step; // the one step within the span, +∞ when there is none
        int below; // the level of the span's least p
        bool crowded; // more than one step within
    };
    static constexpr int kShift = 15;

    static std::uint32_t bits(float v) { return std::bit_cast<std::uint32_t>(v); }

    int direct(float p) const { return int(img::quantise((std::log(p) - lo_) * scale_, 255)); }

    // steps_[k]: the least p of level k or more, +∞ when not even `most` reaches it, sought
    // among the floats from `least` to `most`, which as positive floats run in the order of
    // their bit patterns.
    void findSteps(float least, float most)
    {
        steps_[0] = -HUGE_VAL;
        for (int k = 1; k < 256; ++k) {
            if (direct(most) < k) {
                steps_[k] = HUGE_VAL;
                continue;
            }
            std::uint32_t below = bits(least), reached = bits(most);
            if (direct(least) >= k)
                reached = below;
            while (reached - below > 1) {
                const std::uint32_t middle = below + (reached - below) / 2;
                (direct(std::bit_cast<float>(middle)) >= k ? reached : below) = middle;
            }
            steps_[k] = std::bit_cast<float>(reached);
        }
    }

    void makeSpans(float most)
    {
        const std::uint32_t last = bits(most) >> kShift;
        spans_.resize(last - first_ + 1);
        int k = 0;
        for (std::uint32_t b = first_; b <= last; ++b) {
            while (k < 255 && steps_[k + 1] <= std::bit_cast<float>(b << kShift))
                ++k;
            Span &span = spans_[b - first_];
            span = {HUGE_VALF, k, false};
            const float top = std::bit_cast<float>(((b + 1) << kShift) - 1);
            for (int j = k + 1; j < 256 && steps_[j] <= top; ++j) {
                span.crowded = span.step != HUGE_VALF;
                span.step = float(steps_[j]);
            }
        }
    }

    double lo_, scale_;
    std::uint32_t first_;
    double steps_[256];
    std::vector<Span> spans_;
};

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 2);
    // The image goes from the file straight into the transform's own storage, a row at a time:
    // it is never held as an image of its own.
    img::PnmRows in(args[0]);
    img::Spectrum f
        = img::forwardFilled(in.width(), in.height(), [&](int, double *row) { in.next(row); });
    const int w = f.width, h = f.height, hw = f.halfWidth();
    // p of bin i, then its level, goes to double i of the spectrum's own storage, whose
    // coefficient i (doubles 2i and 2i + 1) has been read by then.
    double *p = reinterpret_cast<double *>(f.c.data());
    float least = HUGE_VALF, most = -HUGE_VALF;
    for (size_t i = 0; i < f.c.size(); ++i) {
        const float v = 1.0f + 255.0f * float(std::sqrt(std::norm(f.c[i])));
        least = std::min(least, v);
        most = std::max(most, v);
        p[i] = v;
    }
    const Levels levels(least, most);
    for (size_t i = 0; i < f.c.size(); ++i)
        p[i] = levels.of(float(p[i])) / 255.0;
    // Each row of the picture is gathered as it is written: display row y shows frequency row
    // v, whose bins u >= 0 are stored and whose others are the twins of row -v, so each level
    // is drawn twice and found once.
    std::vector<int> bin(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x)
        bin[size_t(x)] = img::binOfDisplay(x, w);
    const auto picture = [&](int y, double *out) {
        const int v = img::binOfDisplay(y, h);
        const double *row = &p[size_t(v) * size_t(hw)];
        const double *twin = &p[size_t((h - v) % h) * size_t(hw)];
        for (int x = 0; x < w; ++x) {
            const int u = bin[size_t(x)];
            out[x] = u < hw ? row[u] : twin[w - u];
        }
        return out;
    };
    img::writePgm(args[1], w, h, 8, picture, img::history(in.comments()));
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("transfor", kUsage, argc, argv, run);
}
