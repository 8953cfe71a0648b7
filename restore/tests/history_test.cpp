// How an image was made, in its header: every tool's output parses and ends its comments with
// the tool's own line (program, arguments, answers) after the lines of the image it
// processed, in order; a chain longer than the cap keeps its origin, says how many steps it
// left out and keeps its latest lines; a name with a blank is one quoted word.
#include "check.h"
#include "linekeys.h"
#include "pnm.h"
#include "runtool.h"
#include "tool.h"

#include <algorithm>
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
    {"align.exe", "\"mi foto.pgm\"", "", " huella="},
    {"mblur.exe", "align.pgm 5 distor.pgm", "", ""},
    {"motion.exe", "distor.pgm 5 mov5.pgm", "", ""},
    {"blur.exe", "mov5.pgm psf.pgm borrosa.pgm", "", ""},
    {"inverse.exe", "borrosa.pgm psf.pgm Inverso.pgm", "\n", " umbral=0.0001 aconsejada=0.0001"},
    {"wiener.exe", "Inverso.pgm psf.pgm wiener.pgm", "0,02\n", " k=0.02 aconsejada="},
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
    img::writePgm(dir.file("mi foto.pgm"), photo, 8, {"CREATOR: GIMP PNM Filter Version 1.1"});
    img::writePgm(dir.file("psf.pgm"), img::Image(3, 3, 1.0), 8);

    // Every line the chain made, as if there were no cap.
    std::vector<std::string> all {"CREATOR: GIMP PNM Filter Version 1.1"};
    std::vector<Step> steps(std::begin(kChain), std::end(kChain));
    // Then round and round, past the cap, twice over: mblur of one pixel leaves the image as
    // it is.
    for (int i = 0; i < 24; ++i)
        steps.push_back({"mblur.exe", "enfasis.pgm 1 enfasis.pgm", "", ""});

    std::vector<std::string> lines;
    for (const Step &step : steps) {
        const ToolRun run = runTool(step.file, img::lineWords(step.args), dir.path, step.answers);
        const std::string label = std::string(step.file) + " " + step.args;
        check::report(run.status == 0, __FILE__, __LINE__, label + ": " + run.err);
        try {
            lines = img::readPnmComments(dir.file(outputOf(step)));
        } catch (const img::ImageError &e) {
            check::report(false, __FILE__, __LINE__, label + ": " + e.what());
            continue;
        }
        all.push_back(lines.empty() ? "" : lines.back());
        // Whole, or without the photograph's own comment once only that one falls away.
        const bool whole = lines == all
            || (all.size() == img::kHistoryLines + 1 && lines[0] == all[1]
                && std::equal(lines.begin(), lines.end(), all.begin() + 1));
        // Over the cap: the origin, how many steps between were left out, the latest lines.
        const size_t latest = img::kHistoryLines - 2;
        const bool capped = all.size() > img::kHistoryLines && lines.size() == img::kHistoryLines
            && lines[0] == all[1] && img::omittedCount(lines[1]) == all.size() - 2 - latest
            && std::equal(lines.begin() + 2, lines.end(), all.end() - ptrdiff_t(latest));
        check::report(!lines.empty() && ownLineIs(lines.back(), step) && (whole || capped),
                      __FILE__, __LINE__, label + ": " + std::to_string(lines.size()) + " líneas");
    }
    CHECK(lines.size() == img::kHistoryLines
          && lines[0].starts_with("align.exe \"mi foto.pgm\" huella="));
    const std::vector<std::string> origin = img::lineWords(lines[0]);
    CHECK(origin.size() == 3 && origin[1] == "mi foto.pgm");
}

// What a reader takes from a line: the keys it asks for, from lines written before the tools
// recorded more and after, whatever else follows.
void testKeys()
{
    const std::string before = "wiener.exe distor.pgm psf1A.pgm wiener.pgm k=0.0123";
    CHECK(img::lineNumber(before, "k") == 0.0123);
    CHECK(!img::lineNumber(before, img::kAdvisedKey) && !img::lineValue("align.exe foto.pgm", "k"));
    const std::string after = before + " aconsejada=5.42e-04 otra=x=y regiones=1,2,3,4;5,6,7,8";
    CHECK(img::lineNumber(after, "k") == 0.0123 && img::lineNumber(after, "aconsejada") == 5.42e-4);
    CHECK(img::lineValue(after, "otra") == "x=y" && !img::lineNumber(after, "otra"));
    CHECK(img::lineValue(after, "regiones") == "1,2,3,4;5,6,7,8");
    CHECK(img::lineKeys(after).size() == 4);
}

} // namespace

int main()
{
    testKeys();
    testChain();
    return check::summary();
}
