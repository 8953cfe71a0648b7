// mblur.exe: horizontal linear motion blur, circular, the distortion "Movimiento".
//
//   mblur.exe in length out
//
// Each pixel becomes the mean of `length` pixels of its row, the row wrapping around at its
// ends. The kernel is img::motionPsf(length) centred by the library's rule, so motion.exe
// undoes exactly this blur with the same transfer function. Done in space with a running sum
// rather than with FFTs: exact and linear in the number of pixels.
#include "plural.h"
#include "pnm.h"
#include "psf.h"
#include "tool.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

const char kUsage[] = "uso: mblur.exe entrada longitud salida\n"
                      "  Desenfoque de movimiento horizontal de «longitud» píxeles (entero\n"
                      "  positivo, no mayor que el ancho), circular: la fila se cierra sobre sí\n"
                      "  misma. Núcleo de suma 1. Salida PGM de 16 bits, para que el filtro\n"
                      "  inverso (motion.exe) pueda deshacerlo. Si el ancho y la longitud\n"
                      "  comparten un factor, algunas frecuencias se anulan del todo y ningún\n"
                      "  filtro las recupera.\n";

// Blurs one row of `w` pixels into `out`. `twice` holds the row twice over, so that the
// window's columns run on without wrapping: no test for the end of the row per pixel.
void blurRow(const double *twice, double *out, int w, int length)
{
    // Offsets of the kernel as img::motionPsf centres it: -length/2 .. (length-1)/2. Output x
    // averages input columns x - (length-1)/2 .. x + length/2 (modulo the width).
    const int behind = (length - 1) / 2;
    const int ahead = length / 2;
    const double scale = 1.0 / length;
    double sum = 0.0;
    for (int k = -behind; k <= ahead; ++k)
        sum += twice[((k % w) + w) % w];
    const double *enter = &twice[(ahead + 1) % w]; // the column taken in next
    const double *leave = &twice[((-behind % w) + w) % w]; // the one let go of next
    for (int x = 0; x < w; ++x) {
        out[x] = sum * scale;
        sum += *enter++ - *leave++;
    }
}

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 3);
    const int length = img::parsePositive(args[1], "la longitud");
    img::PnmRows in(args[0]);
    const int w = in.width();
    if (length > w)
        throw img::BadInput("la longitud " + args[1] + " es mayor que el ancho de «"
                            + std::filesystem::path(args[0]).filename().string() + "» ("
                            + std::to_string(w) + " " + img::agree(size_t(w), "píxel", "píxeles")
                            + ")");
    // Row by row as the image is read and written: it is never held whole.
    std::vector<double> twice(2 * static_cast<size_t>(w));
    const auto blurred = [&](int, double *out) {
        in.next(twice.data());
        std::copy(twice.begin(), twice.begin() + w, twice.begin() + w);
        blurRow(twice.data(), out, w, length);
        return out;
    };
    img::writePgm(args[2], w, in.height(), 16, blurred, img::history(in.comments()));
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("mblur", kUsage, argc, argv, run);
}
