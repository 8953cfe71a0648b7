// homo.exe: the second half of the homomorphic filter.
//
//   homo.exe in out
//
// Reads the logarithm shuffle.exe wrote (shuff.pgm), filters it with
// H = (γH − γL)·[1 − exp(−c·D²/D0²)] + γL, exponentiates and stretches the result to 8 bits.
// The low frequencies of the logarithm are the illumination, which γL < 1 evens out; the high
// ones the reflectance, which γH > 1 brings forward.
#include "enhance.h"
#include "pnm.h"
#include "tool.h"

namespace {

const char kUsage[]
    = "uso: homo.exe entrada salida\n"
      "  Segunda mitad del filtro homomórfico: lee el logaritmo que escribió shuffle.exe\n"
      "  (shuff.pgm), lo filtra con H = (γH − γL)·[1 − exp(−c·D²/D0²)] + γL, aplica la\n"
      "  exponencial y escribe un PGM de 8 bits.\n"
      "  γL = 0,25, γH = 1,5, c = 1, D0 = 10 (D en muestras de frecuencia de la imagen reflejada\n"
      "  en sus bordes, de doble tamaño, para que los bordes opuestos no se mezclen).\n"
      "  El resultado se estira para que el 1 % de los píxeles quede negro y el 1 % blanco.\n";

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 2);
    std::vector<std::string> steps;
    img::Image in = img::readPnm(args[0], nullptr, &steps);
    img::writePgm(args[1], restore::homomorphic(std::move(in)), 8, img::history(steps));
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("homo", kUsage, argc, argv, run);
}
