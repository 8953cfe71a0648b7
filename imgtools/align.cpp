// align.exe: the picture the student opened, as the 8-bit PGM that every later step starts from.
//
//   align.exe in
//
// Reads any PNM (PBM, PGM of any depth, PPM as luminance) and writes "align.pgm" of the same
// size in the working folder. The name is fixed: the program's command line does not give it.
// Its line ends with the digest of the pixels it wrote ("huella=..."), so that a later step can
// tell whether align.pgm is still the picture its chain started from.
#include "digest.h"
#include "linekeys.h"
#include "pnm.h"
#include "tool.h"

namespace {

const char kUsage[] = "uso: align.exe origen\n"
                      "  Convierte la imagen PNM «origen» (PBM, PGM o PPM) en «align.pgm»,\n"
                      "  PGM binario de 8 bits del mismo tamaño, en la carpeta de trabajo.\n";

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 1);
    std::vector<std::string> steps;
    const img::Image image = img::readPnm(args[0], nullptr, &steps);
    img::noteAnswer(img::kDigestKey, img::digestText(img::pictureDigest(image)));
    img::writePgm("align.pgm", image, 8, img::history(steps));
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("align", kUsage, argc, argv, run);
}
