// floor: the least work a tool of the suite can do, for the benchmark to measure against.
//
//   imgtools_floor entrada salida bits directas inversas [otra_entrada ...]
//
// Reads the input (and any other inputs, as a tool reads its PSF), runs `directas` forward
// and `inversas` inverse FFTs of the input's size, and writes the input back as a PGM of
// `bits` bits. Not installed: it only gives the tools' wall times something to be a ratio of.
#include "fft.h"
#include "pnm.h"
#include "tool.h"

namespace {

const char kUsage[] = "uso: imgtools_floor entrada salida bits directas inversas [otra ...]\n";

void run(const std::vector<std::string> &args)
{
    if (args.size() < 5)
        throw img::Misuse("faltan argumentos");
    img::Image image = img::readPnm(args[0]);
    for (size_t i = 5; i < args.size(); ++i)
        (void)img::readPnm(args[i]);
    const int bits = img::parsePositive(args[2], "bits");
    const int forwards = std::stoi(args[3]);
    const int inverses = std::stoi(args[4]);
    img::Spectrum s;
    for (int i = 0; i < forwards; ++i)
        s = img::forward(image);
    for (int i = 0; i < inverses; ++i)
        image = img::inverse(s);
    img::writePgm(args[1], image, bits == 16 ? 16 : 8);
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("floor", kUsage, argc, argv, run);
}
