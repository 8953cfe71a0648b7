// shuffle.exe: the first half of the homomorphic filter.
//
//   shuffle.exe in
//
// Writes shuff.pgm in the working folder, a 16-bit PGM holding the logarithm of `in`:
// ln(1 + 255·x) / ln(256) for grey level x on 0..1. The logarithm turns illumination times
// reflectance into a sum, which homo.exe then filters. 16 bits, because 8 would round away the
// small steps of the logarithm in the bright half of the image.
#include "enhance.h"
#include "pnm.h"
#include "tool.h"

namespace {

const char kUsage[]
    = "uso: shuffle.exe entrada\n"
      "  Primera mitad del filtro homomórfico: escribe shuff.pgm (16 bits) en la carpeta de\n"
      "  trabajo con el logaritmo de la imagen, ln(1 + 255·x) / ln(256). Sigue homo.exe.\n";

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 1);
    // Pixel by pixel, each row as it is read and written: the image is never held whole.
    img::PnmRows in(args[0]);
    const auto logRows = [&](int, double *row) {
        in.next(row);
        restore::logarithm(row, row, size_t(in.width()), in.levels());
        return row;
    };
    img::writePgm("shuff.pgm", in.width(), in.height(), 16, logRows, img::history(in.comments()));
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("shuffle", kUsage, argc, argv, run);
}
