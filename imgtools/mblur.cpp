// mblur.exe: horizontal linear motion blur, circular, the distortion "Movimiento".
//
//   mblur.exe in length out
//
// Each pixel becomes the mean of `length` pixels of its row, the row wrapping around at its
// ends. The kernel is img::motionPsf(length) centred by the library's rule, so motion.exe
// undoes exactly this blur with the same transfer function. Done in space with a running sum
// rather than with FFTs: exact and linear in the number of pixels.
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

// Blurs each row in place; a row's copy is all the extra memory needed.
void motionBlur(img::Image &image, int length)
{
    const int w = image.width;
    // Offsets of the kernel as img::motionPsf centres it: -length/2 .. (length-1)/2. Output x
    // averages input columns x - (length-1)/2 .. x + length/2 (modulo the width).
    const int behind = (length - 1) / 2;
    const int ahead = length / 2;
    const double scale = 1.0 / length;
    // The row twice over, so that the window's columns run on without wrapping: no test for
    // the end of the row per pixel.
    std::vector<double> row(2 * static_cast<size_t>(w));
    for (int y = 0; y < image.height; ++y) {
        double *dst = &image.px[size_t(y) * size_t(w)];
        std::copy(dst, dst + w, row.begin());
        std::copy(dst, dst + w, row.begin() + w);
        double sum = 0.0;
        for (int k = -behind; k <= ahead; ++k)
            sum += row[size_t(((k % w) + w) % w)];
        const double *enter = &row[size_t((ahead + 1) % w)]; // the column taken in next
        const double *leave = &row[size_t(((-behind % w) + w) % w)]; // the one let go of next
        for (int x = 0; x < w; ++x) {
            dst[x] = sum * scale;
            sum += *enter++ - *leave++;
        }
    }
}

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 3);
    const int length = img::parsePositive(args[1], "la longitud");
    img::Image image = img::readPnm(args[0]);
    if (length > image.width)
        throw img::BadInput("la longitud " + args[1] + " es mayor que el ancho de «"
                            + std::filesystem::path(args[0]).filename().string() + "» ("
                            + std::to_string(image.width) + " píxeles)");
    motionBlur(image, length);
    img::writePgm(args[2], image, 16);
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("mblur", kUsage, argc, argv, run);
}
