// The outside programs the operations start, as their command lines write them.
//
// Every tool path, argument and working-file name that the program composes lives here once:
// the operations and the file commands name a tool by its id and its files by these constants.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tools {

enum class ToolId {
    Align,
    Mblur,
    Blur,
    Snoise,
    SnoiseCapital, // the structured-noise line spells it "Snoise.exe"; the same program
    Motion,
    Inverse,
    Wiener,
    Snr,
    Transfor,
    Shuffle,
    Homo,
    Hiemph,
    Viewer,
};

struct ToolContract
{
    ToolId id;
    const char *folder; // exactly as the command line writes it, with its final backslash
    const char *program; // the file name, exactly as the command line writes it
    const char *arguments; // what follows the path, in order
    const char *reads; // working files read
    const char *writes; // working files written
    bool asksUser; // reads its parameters from its console, which must then be shown
};

extern const ToolContract kTools[];
extern const size_t kToolCount;

const ToolContract &contract(ToolId id);

// The tool's full path, as the command line writes it.
std::string path(ToolId id);

// The tool's path followed by each argument after exactly one blank: no quotes, no blank at
// either end. Null arguments are skipped.
std::string commandLine(ToolId id, std::span<const char *const> arguments);

// The alignment line of the open command: the path, a blank, the twin's name and a blank.
std::string alignCommandLine(std::string_view pgmTwin);

// The viewer line of the show buttons: the path, two blanks, the image and a blank.
std::string viewerCommandLine(std::string_view image);

// Working files, by bare name, in the working folder.
namespace files {
inline constexpr const char *align = "align.pgm";
inline constexpr const char *alignCapital = "Align.pgm"; // as the 50-pixel blur writes it
inline constexpr const char *distor = "distor.pgm";
inline constexpr const char *disRuido = "Dis_Ruido.pgm";
inline constexpr const char *psf1A = "psf1A.pgm";
inline constexpr const char *psf2A = "psf2A.pgm";
inline constexpr const char *mov10 = "mov10.pgm";
inline constexpr const char *mov25 = "mov25.pgm";
inline constexpr const char *mov50 = "mov50.pgm";
inline constexpr const char *inverso = "Inverso.pgm";
inline constexpr const char *wiener = "wiener.pgm";
inline constexpr const char *retiro = "retiro.pgm";
inline constexpr const char *fft = "FFT.pgm";
inline constexpr const char *shuff = "shuff.pgm";
inline constexpr const char *homo = "homo.pgm";
inline constexpr const char *alto = "alto.pgm";
inline constexpr const char *enfasis = "enfasis.pgm";
// The images' extension, appended to a method's name to find its output.
inline constexpr const char *pgmExtension = ".pgm";
} // namespace files

} // namespace tools
