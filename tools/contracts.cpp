// The table of outside tool contracts.
#include "contracts.h"

#include "drivec.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <iterator>

namespace tools {

namespace {

constexpr const char *kTool = dos::kToolFolder;

// The alignment line spells the tool folder with a capital E: "c:\qor\Ejecutable\auxiliares\".
constexpr auto kAlignFolder = [] {
    std::array<char, std::size(dos::kToolFolder)> folder {};
    std::copy(std::begin(dos::kToolFolder), std::end(dos::kToolFolder), folder.begin());
    folder[std::string_view(dos::kToolFolder).find("ejecutable")] = 'E';
    return folder;
}();

} // namespace

const ToolContract kTools[] = {
    {ToolId::Align, kAlignFolder.data(), "align.exe", "source image",
     "the PGM twin of the chosen bitmap", "align.pgm (not named on the line)", false},
    {ToolId::Mblur, kTool, "mblur.exe", "input, blur length, output", "align.pgm", "distor.pgm",
     false},
    {ToolId::Blur, kTool, "blur.exe", "input, point-spread image, output", "align.pgm, psf1A.pgm",
     "distor.pgm or Dis_Ruido.pgm", false},
    {ToolId::Snoise, kTool, "snoise.exe", "input, output", "Dis_Ruido.pgm", "distor.pgm", false},
    {ToolId::SnoiseCapital, kTool, "Snoise.exe", "input, output", "align.pgm", "distor.pgm", false},
    {ToolId::Motion, kTool, "motion.exe", "input, blur length, output", "distor.pgm",
     "mov10.pgm, mov25.pgm, mov50.pgm", false},
    {ToolId::Inverse, kTool, "Inverse.exe", "input, point-spread image, output",
     "distor.pgm, psf2A.pgm", "Inverso.pgm", true},
    {ToolId::Wiener, kTool, "wiener.exe", "input, point-spread image, output",
     "distor.pgm, psf1A.pgm", "wiener.pgm", true},
    {ToolId::Snr, kTool, "snr.exe", "input, output", "distor.pgm", "retiro.pgm", true},
    {ToolId::Transfor, kTool, "transfor.exe", "input, output", "align.pgm", "FFT.pgm", false},
    {ToolId::Shuffle, kTool, "shuffle.exe", "input", "align.pgm",
     "shuff.pgm (not named on the line)", false},
    {ToolId::Homo, kTool, "homo.exe", "input, output", "shuff.pgm", "homo.pgm", false},
    {ToolId::Hiemph, kTool, "hiemph.exe", "input, output", "align.pgm, then alto.pgm",
     "alto.pgm, then enfasis.pgm", false},
    // An interactive viewer window of its own; it is started hidden like the batch file that
    // starts it, since it needs no console.
    {ToolId::Viewer, "c:\\irfanview\\", "i_view32.exe", "one image file", "the named image",
     "nothing", false},
};

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

std::string path(ToolId id)
{
    return std::string(contract(id).folder) + contract(id).program;
}

std::string commandLine(ToolId id, std::span<const char *const> arguments)
{
    std::string line = path(id);
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
    return path(ToolId::Align) + ' ' + std::string(pgmTwin) + ' ';
}

std::string viewerCommandLine(std::string_view image)
{
    return path(ToolId::Viewer) + "  " + std::string(image) + ' ';
}

} // namespace tools
