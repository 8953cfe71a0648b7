// blur.exe: circular convolution with a point-spread image, the distortion "Sin ruido".
//
//   blur.exe in psf out
//
// The PSF may have any size up to the image's; it is centred on its pixel (width/2, height/2)
// and scaled to sum 1 (see psf.h), so the PSF file's grey scale does not matter and the blur
// keeps the mean brightness. Output 16-bit: rounded to 8 bits the blurred image would lose
// the faint high frequencies that an inverse filter must bring back.
#include "pnm.h"
#include "psf.h"
#include "tool.h"

#include <utility>

namespace {

const char kUsage[] = "uso: blur.exe entrada psf salida\n"
                      "  Convolución circular de «entrada» con la función de dispersión «psf»\n"
                      "  (una imagen PNM no mayor que la entrada, centrada en su píxel central y\n"
                      "  normalizada a suma 1). Salida PGM de 16 bits.\n";

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 3);
    // Each buffer is let go as soon as it has served, so that at most three image-sized
    // arrays live at once (24 bytes a pixel): a 16384² image must fit in memory too.
    img::Spectrum s;
    std::vector<std::string> steps;
    {
        const img::Image in = img::readPnm(args[0], nullptr, &steps);
        const img::Image psf = img::readPsf(args[1], in);
        const img::Spectrum h = img::transferFunction(psf, in.width, in.height);
        s = img::forward(in);
        img::multiply(s, h);
    }
    img::writePgm(args[2], img::inverse(std::move(s)), 16, img::history(steps));
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("blur", kUsage, argc, argv, run);
}
