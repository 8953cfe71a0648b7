// How an image was made, in its header: every tool's output parses and ends its comments with
// the tool's own line (program, arguments, answers) after the lines of the image it
// processed, in order; a chain longer than the cap keeps its last lines.
#include "check.h"
#include "pnm.h"
#include "runtool.h"
#include "tool.h"

#include <cmath>

namespace {

struct Step
{
    const char *file;
    std::string args; // the input first
    std::string answers; // typed at its prompt
    std::string recorded; // what its line says of them; "name=" alone leaves the value open
};

// One pass through every tool, each reading what the one before wrote.
const Step kChain[] = {
    {"align.exe", "foto.pgm", "", ""},
    {"mblur.exe", "align.pgm 5 distor.pgm", "", ""},
    {"motion.exe", "distor.pgm 5 mov5.pgm", "", ""},
    {"blur.exe", "mov5.pgm psf.pgm borrosa.pgm", "", ""},
    {"inverse.exe", "borrosa.pgm psf.pgm Inverso.pgm", "\n", " umbral=0.0001"},
    {"wiener.exe", "Inverso.pgm psf.pgm wiener.pgm", "0,02\n", " k=0.02"},
    {"snoise.exe", "wiener.pgm ruido.pgm", "", ""},
    {"snr.exe", "ruido.pgm retiro.pgm", "\n", " regiones="},
    {"transfor.exe", "retiro.pgm FFT.pgm", "", ""},
    {"shuffle.exe", "FFT.pgm", "", ""},
    {"homo.exe", "shuff.pgm homo.pgm", "", ""},
    {"hiemph.exe", "homo.pgm enfasis.pgm", "", ""},
};

// align and shuffle write a name of their own; the others their last argument.
std::string outputOf(const Step &step)
{
    const std::string file = step.file;
    if (file == "align.exe")
        return "align.pgm";
    if (file == "shuffle.exe")
        return "shuff.pgm";
    return step.args.substr(step.args.rfind(' ') + 1);
}

// The tool's own line: what it was told, then its answers.
bool ownLineIs(const std::string &line, const Step &step)
{
    const std::string whole = std::string(step.file) + " " + step.args + step.recorded;
    if (step.recorded.ends_with('='))
        return line.starts_with(whole) && line.size() > whole.size();
    return line == whole;
}

void testChain()
{
    TempDir dir;
    img::Image photo(48, 40);
    for (int y = 0; y < photo.height; ++y)
        for (int x = 0; x < photo.width; ++x)
            photo.at(x, y) = 0.5 + 0.3 * std::sin(x * 0.3) * std::cos(y * 0.2);
    // An editor's comment is history too, and is passed on.
    img::writePgm(dir.file("foto.pgm"), photo, 8, {"CREATOR: GIMP PNM Filter Version 1.1"});
    img::writePgm(dir.file("psf.pgm"), img::Image(3, 3, 1.0), 8);

    std::vector<std::string> expected {"CREATOR: GIMP PNM Filter Version 1.1"};
    std::vector<Step> steps(std::begin(kChain), std::end(kChain));
    // Then round and round, past the cap: mblur of one pixel leaves the image as it is.
    for (int i = 0; i < 6; ++i)
        steps.push_back({"mblur.exe", "enfasis.pgm 1 enfasis.pgm", "", ""});

    for (const Step &step : steps) {
        const ToolRun run = runLine(dir, step.file, step.args, step.answers);
        const std::string label = std::string(step.file) + " " + step.args;
        check::report(run.status == 0, __FILE__, __LINE__, label + ": " + run.err);
        std::vector<std::string> lines;
        try {
            lines = img::readPnmComments(dir.file(outputOf(step)));
        } catch (const img::ImageError &e) {
            check::report(false, __FILE__, __LINE__, label + ": " + e.what());
            continue;
        }
        expected.push_back(lines.empty() ? "" : lines.back());
        if (expected.size() > img::kHistoryLines)
            expected.erase(expected.begin());
        check::report(!lines.empty() && ownLineIs(lines.back(), step) && lines == expected,
                      __FILE__, __LINE__, label + ": " + std::to_string(lines.size()) + " líneas");
    }
    CHECK(expected.size() == img::kHistoryLines && expected.back().starts_with("mblur.exe"));
}

} // namespace

int main()
{
    testChain();
    return check::summary();
}
