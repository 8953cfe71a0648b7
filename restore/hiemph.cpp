// hiemph.exe: high-frequency emphasis.
//
//   hiemph.exe in out
//
// H = a + b·H_hp with a Gaussian high-pass H_hp = 1 − exp(−D²/(2·D0²)). The program runs it
// twice, align.pgm → alto.pgm → enfasis.pgm: an 8-bit input (the first pass) gives a 16-bit
// output that keeps the emphasis exactly for the second pass; any other input gives 8 bits to
// look at. Each pass scales its overshoots back about the mean grey so that at most half a
// percent of the pixels clip at either end: two passes sharpen, they do not posterise.
#include "enhance.h"
#include "pnm.h"
#include "tool.h"

#include <utility>

namespace {

const char kUsage[]
    = "uso: hiemph.exe entrada salida\n"
      "  Énfasis de altas frecuencias H = a + b·(1 − exp(−D²/(2·D0²))) con a = 1, b = 0,5 y\n"
      "  D0 = 0,1 ciclos por píxel, sobre la imagen reflejada en sus bordes. Una entrada de 8 "
      "bits\n"
      "  da una salida de 16 bits (para una segunda pasada); cualquier otra, una de 8 bits.\n"
      "  Los excesos se reducen hacia el gris medio para que a lo sumo el 0,5 % de los píxeles\n"
      "  quede en negro o en blanco por cada lado.\n";

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 2);
    unsigned levels = 0;
    std::vector<std::string> steps;
    img::Image input = img::readPnm(args[0], &levels, &steps);
    const int bits = restore::emphasisBits(input, levels);
    img::writePgm(args[1], restore::emphasise(std::move(input)), bits, img::history(steps));
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("hiemph", kUsage, argc, argv, run);
}
