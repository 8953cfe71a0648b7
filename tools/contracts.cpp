// The table of outside tool contracts.
#include "contracts.h"

#include <cassert>
#include <iterator>

namespace tools {

// The tool folder as most lines spell it; the alignment line writes "Ejecutable".
#define TOOL_FOLDER "c:\\qor\\ejecutable\\auxiliares\\"

const ToolContract kTools[] = {
    {ToolId::Align, "c:\\qor\\Ejecutable\\auxiliares\\align.exe", "source image",
     "the PGM twin of the chosen bitmap", "align.pgm (not named on the line)", false},
    {ToolId::Mblur, TOOL_FOLDER "mblur.exe", "input, blur length, output", "align.pgm",
     "distor.pgm", false},
    {ToolId::Blur, TOOL_FOLDER "blur.exe", "input, point-spread image, output",
     "align.pgm, psf1A.pgm", "distor.pgm or Dis_Ruido.pgm", false},
    {ToolId::Snoise, TOOL_FOLDER "snoise.exe", "input, output", "Dis_Ruido.pgm", "distor.pgm",
     false},
    {ToolId::SnoiseCapital, TOOL_FOLDER "Snoise.exe", "input, output", "align.pgm", "distor.pgm",
     false},
    {ToolId::Motion, TOOL_FOLDER "motion.exe", "input, blur length, output", "distor.pgm",
     "mov10.pgm, mov25.pgm, mov50.pgm", false},
    {ToolId::Inverse, TOOL_FOLDER "Inverse.exe", "input, point-spread image, output",
     "distor.pgm, psf2A.pgm", "Inverso.pgm", true},
    {ToolId::Wiener, TOOL_FOLDER "wiener.exe", "input, point-spread image, output",
     "distor.pgm, psf1A.pgm", "wiener.pgm", true},
    {ToolId::Snr, TOOL_FOLDER "snr.exe", "input, output", "distor.pgm", "retiro.pgm", true},
    {ToolId::Transfor, TOOL_FOLDER "transfor.exe", "input, output", "align.pgm", "FFT.pgm", false},
    {ToolId::Shuffle, TOOL_FOLDER "shuffle.exe", "input", "align.pgm",
     "shuff.pgm (not named on the line)", false},
    {ToolId::Homo, TOOL_FOLDER "homo.exe", "input, output", "shuff.pgm", "homo.pgm", false},
    {ToolId::Hiemph, TOOL_FOLDER "hiemph.exe", "input, output", "align.pgm, then alto.pgm",
     "alto.pgm, then enfasis.pgm", false},
    // An interactive viewer window of its own; it is started hidden like the batch file that
    // starts it, since it needs no console.
    {ToolId::Viewer, "c:\\irfanview\\i_view32.exe", "one image file", "the named image", "nothing",
     false},
};

#undef TOOL_FOLDER

const size_t kToolCount = std::size(kTools);

const ToolContract &contract(ToolId id)
{
    for (const ToolContract &tool : kTools) {
        if (tool.id == id)
            return tool;
    }
    assert(false && "every ToolId has a row");
    return kTools[0];
}

std::string commandLine(ToolId id, std::span<const char *const> arguments)
{
    std::string line = contract(id).path;
    for (const char *argument : arguments) {
        if (argument) {
            line += ' ';
            line += argument;
        }
    }
    return line;
}

std::string alignCommandLine(std::string_view pgmTwin)
{
    return std::string(contract(ToolId::Align).path) + ' ' + std::string(pgmTwin) + ' ';
}

std::string viewerCommandLine(std::string_view image)
{
    return std::string(contract(ToolId::Viewer).path) + "  " + std::string(image) + ' ';
}

} // namespace tools
