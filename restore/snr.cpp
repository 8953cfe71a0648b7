// snr.exe: removes periodic noise by zeroing regions of the spectrum.
//
//   snr.exe in out
//
// Prints the spectrum's strongest off-centre spikes as suggested regions, then asks for the
// regions to set to zero, as rectangles in the pixel coordinates of the centred spectrum that
// transfor.exe draws (DC at (width/2, height/2)). Each region is zeroed together with its
// mirror image through the centre, the conjugate twin, so that the result stays real. Enter
// on the first line takes the suggestions. Writes an 8-bit PGM.
#include "linekeys.h"
#include "peaks.h"
#include "pnm.h"
#include "prompt.h"
#include "tool.h"

#include "frequency.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <utility>

namespace {

const char kUsage[]
    = "uso: snr.exe entrada salida\n"
      "  Retira ruido periódico: muestra los picos fuertes del espectro fuera del centro y pide\n"
      "  las regiones que se anulan, una por línea como «x1 y1 x2 y2» en coordenadas del espectro\n"
      "  centrado que dibuja transfor.exe (el centro, la frecuencia 0, en (ancho/2, alto/2)).\n"
      "  Cada región se anula también en su simétrica respecto del centro, para que el resultado\n"
      "  siga siendo real. Una línea vacía termina; Intro en la primera acepta las regiones\n"
      "  propuestas. Escribe un PGM de 8 bits.\n";

std::string text(const restore::DisplayRect &r)
{
    return std::to_string(r.x0) + " " + std::to_string(r.y0) + " " + std::to_string(r.x1) + " "
        + std::to_string(r.y1);
}

void showSuggestions(const std::string &name, const img::Spectrum &s,
                     const std::vector<restore::NoisePeak> &peaks)
{
    std::cout << "Espectro centrado de «" << name << "», " << s.width << " × " << s.height
              << ", con la frecuencia 0 en (" << s.width / 2 << ", " << s.height / 2 << ").\n";
    if (peaks.empty()) {
        std::cout << "No hay picos destacados fuera del centro: no se propone ninguna región.\n";
        return;
    }
    std::cout << "Picos fuertes fuera del centro (ruido periódico probable):\n";
    for (const restore::NoisePeak &p : peaks) {
        const int x = img::displayOfBin(p.u, s.width);
        const int y = img::displayOfBin(p.v, s.height);
        const int tx = img::displayOfBin(-p.u, s.width);
        const int ty = img::displayOfBin(-p.v, s.height);
        std::cout << "  (" << x << ", " << y << ") y su simétrico (" << tx << ", " << ty
                  << "): amplitud ≈ "
                  << restore::formatNumber(std::round(p.amplitude * 2550.0) / 10.0)
                  << " niveles de gris; región propuesta: " << text(p.region) << "\n";
    }
}

std::vector<restore::DisplayRect> askRegions(const img::Spectrum &s,
                                             const std::vector<restore::NoisePeak> &peaks)
{
    std::cout << "Escriba las regiones que se anulan, una por línea: x1 y1 x2 y2. "
                 "Una línea vacía termina;\n"
              << "Intro en la primera línea acepta las regiones propuestas.\n";
    std::vector<restore::DisplayRect> regions;
    for (;;) {
        std::cout << "Región " << regions.size() + 1
                  << (regions.empty() ? " (Intro: las propuestas): " : " (Intro: terminar): ")
                  << std::flush;
        const auto line = restore::readLine(std::cin);
        if (!line)
            std::cout << '\n';
        if (!line || line->find_first_not_of(" \t") == std::string::npos)
            break;
        const auto rect = restore::parseRegion(*line);
        if (!rect)
            std::cout << "Escriba cuatro números enteros: x1 y1 x2 y2.\n";
        else if (!restore::overlapsDisplay(*rect, s.width, s.height))
            std::cout << "Esa región cae fuera del espectro (" << s.width << " × " << s.height
                      << ").\n";
        else
            regions.push_back(*rect);
    }
    return regions.empty() ? restore::proposedRegions(peaks) : regions;
}

// The regions zeroed, for the output's header: "x1,y1,x2,y2;..." in one word, or "ninguna".
std::string answered(const std::vector<restore::DisplayRect> &regions)
{
    std::string list;
    for (const restore::DisplayRect &r : regions) {
        std::string words = text(r);
        std::replace(words.begin(), words.end(), ' ', ',');
        list += (list.empty() ? "" : ";") + words;
    }
    return list.empty() ? "ninguna" : list;
}

void run(const std::vector<std::string> &args)
{
    img::expectArgs(args, 2);
    std::vector<std::string> steps;
    img::Image noisy = img::readPnm(args[0], nullptr, &steps);
    img::Spectrum s = img::forward(noisy);
    const std::vector<restore::NoisePeak> peaks
        = restore::findNoisePeaks(img::powerOf(s, std::move(noisy.px)));
    showSuggestions(args[0], s, peaks);
    const std::vector<restore::DisplayRect> regions = askRegions(s, peaks);
    std::cout << "Se anulan " << regions.size() << (regions.size() == 1 ? " región" : " regiones")
              << " y sus simétricas.\n";
    img::noteAnswer(img::kRegionsKey, answered(regions));
    img::noteAnswer(img::kProposedKey, answered(restore::proposedRegions(peaks)));
    img::writePgm(args[1], restore::removeRegions(std::move(s), regions), 8, img::history(steps));
}

} // namespace

int main(int argc, char **argv)
{
    return img::runTool("snr", kUsage, argc, argv, run);
}
