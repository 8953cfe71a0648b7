// The restoration tools as the program starts them: command lines, bad input, the questions
// answered through a pipe, names without regard to case, and the depth of what they write.
#include "check.h"
#include "frequency.h"
#include "pnm.h"
#include "psf.h"
#include "quality.h"
#include "runtool.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct Tool
{
    const char *file; // on drive C
    const char *program; // as its messages name it
    std::string args; // a good command line with "in.pgm" as its input and "out.pgm" as output
    const char *output;
};

const Tool kTools[] = {
    {"motion.exe", "motion", "in.pgm 10 out.pgm", "out.pgm"},
    {"inverse.exe", "Inverse", "in.pgm psf.pgm out.pgm", "out.pgm"},
    {"wiener.exe", "wiener", "in.pgm psf.pgm out.pgm", "out.pgm"},
    {"snr.exe", "snr", "in.pgm out.pgm", "out.pgm"},
    {"shuffle.exe", "shuffle", "in.pgm", "shuff.pgm"},
    {"homo.exe", "homo", "in.pgm out.pgm", "out.pgm"},
    {"hiemph.exe", "hiemph", "in.pgm out.pgm", "out.pgm"},
};

img::Image scene(int w, int h)
{
    img::Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.at(x, y)
                = 0.5 + 0.3 * std::sin(x * 0.21) * std::cos(y * 0.13) + (x > w / 2) * 0.1;
    return image;
}

img::Image disc(int radius)
{
    img::Image psf(2 * radius + 1, 2 * radius + 1);
    for (int y = -radius; y <= radius; ++y)
        for (int x = -radius; x <= radius; ++x)
            psf.at(x + radius, y + radius) = x * x + y * y <= radius * radius;
    return psf;
}

std::string firstLine(const std::string &text)
{
    return text.substr(0, text.find('\n'));
}

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

// The maxval of a grey PNM file, -1 when it cannot be read.
int maxvalOf(const TempDir &dir, const std::string &name)
{
    try {
        return int(img::PnmRows(dir.file(name)).levels());
    } catch (const img::ImageError &) {
        return -1;
    }
}

std::vector<double> pixels(const TempDir &dir, const std::string &name)
{
    return img::readPnm(dir.file(name)).px;
}

// The answers a tool's own line of its output's header ends with.
bool recorded(const TempDir &dir, const std::string &name, const std::string &answers)
{
    const std::vector<std::string> lines = img::readPnmComments(dir.file(name));
    // The answers may be followed by more clave=valor words.
    const std::string said = " " + name + " " + answers;
    const size_t at = lines.empty() ? std::string::npos : lines.back().find(said);
    return at != std::string::npos
        && (at + said.size() == lines.back().size() || lines.back()[at + said.size()] == ' ');
}

// A folder with a good input, a PSF and an old output that a failing tool must leave alone.
void prepare(const TempDir &dir, const Tool &tool)
{
    img::writePgm(dir.file("in.pgm"), scene(64, 48), 16);
    img::writePgm(dir.file("psf.pgm"), disc(2), 8);
    dir.write(tool.output, "viejo");
}

// The tool fails with `status`, one line naming the program and `culprit`, and the folder as
// it was.
void expectFailure(const TempDir &dir, const Tool &tool, const std::string &args, int status,
                   const std::string &culprit)
{
    const std::string before = dir.listing();
    const ToolRun run = runLine(dir, tool.file, args);
    const std::string line = firstLine(run.err);
    check::report(run.status == status, __FILE__, __LINE__,
                  std::string(tool.file) + " " + args + ": estado " + std::to_string(run.status));
    check::report(line.rfind(std::string(tool.program) + ": ", 0) == 0 && contains(line, culprit),
                  __FILE__, __LINE__, std::string(tool.file) + " " + args + ": «" + line + "»");
    CHECK(dir.read(tool.output) == "viejo");
    CHECK(dir.listing() == before);
}

void testBadInput()
{
    for (const Tool &tool : kTools) {
        TempDir dir;
        prepare(dir, tool);
        // Right arguments first: the folder is usable and the tool works in it.
        const ToolRun good = runLine(dir, tool.file, tool.args);
        check::report(good.status == 0, __FILE__, __LINE__,
                      std::string(tool.file) + ": " + good.err);
        dir.write(tool.output, "viejo");

        std::string missing = tool.args;
        missing.replace(0, 6, "no.pgm");
        expectFailure(dir, tool, missing, 2, "no.pgm");

        std::string whole = dir.read("in.pgm");
        dir.write("corto.pgm", whole.substr(0, whole.size() / 2));
        std::string truncated = tool.args;
        truncated.replace(0, 6, "corto.pgm");
        expectFailure(dir, tool, truncated, 2, "corto.pgm");

        dir.write("raro.pgm", "P7\n64 48\n255\n");
        std::string header = tool.args;
        header.replace(0, 6, "raro.pgm");
        expectFailure(dir, tool, header, 2, "raro.pgm");

        dir.write("cero.pgm", "P2\n4 4\n0\n0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n");
        std::string maxval = tool.args;
        maxval.replace(0, 6, "cero.pgm");
        expectFailure(dir, tool, maxval, 2, "cero.pgm");

        expectFailure(dir, tool, tool.args + " sobra", 1, "argumento");
    }

    TempDir dir;
    const Tool &motion = kTools[0];
    prepare(dir, motion);
    for (const char *length : {"0", "diez", "-5", "2.5", "99999999999"})
        expectFailure(dir, motion, std::string("in.pgm ") + length + " out.pgm", 1, length);
    expectFailure(dir, motion, "in.pgm 65 out.pgm", 2, "65");

    for (const Tool *tool : {&kTools[1], &kTools[2]}) {
        TempDir d;
        prepare(d, *tool);
        expectFailure(d, *tool, "in.pgm nada.pgm out.pgm", 2, "nada.pgm");
        img::writePgm(d.file("negra.pgm"), img::Image(5, 5), 8);
        expectFailure(d, *tool, "in.pgm negra.pgm out.pgm", 2, "negra.pgm");
        img::writePgm(d.file("ancha.pgm"), img::Image(65, 3, 1.0), 8);
        expectFailure(d, *tool, "in.pgm ancha.pgm out.pgm", 2, "ancha.pgm");
    }
}

void testQuestions()
{
    TempDir dir;
    img::writePgm(dir.file("in.pgm"),
                  img::applyTransfer(scene(64, 48), img::transferFunction(disc(2), 64, 48)), 16);
    img::writePgm(dir.file("psf.pgm"), disc(2), 8);

    // The advised threshold is shown and taken on Enter, on the end of the input, and after
    // a word that is asked again; the header records the threshold used, however given.
    ToolRun run = runLine(dir, "inverse.exe", "in.pgm psf.pgm typed.pgm", "0,0001\n");
    CHECK(run.status == 0 && contains(run.out, "[0,0001]"));
    runLine(dir, "inverse.exe", "in.pgm psf.pgm enter.pgm", "\n");
    runLine(dir, "inverse.exe", "in.pgm psf.pgm eof.pgm", "");
    run = runLine(dir, "inverse.exe", "in.pgm psf.pgm word.pgm", "mucho\n0.0001\n");
    CHECK(contains(run.out, "no es un número"));
    const std::vector<double> typed = pixels(dir, "typed.pgm");
    for (const char *name : {"typed.pgm", "enter.pgm", "eof.pgm", "word.pgm"})
        check::report(pixels(dir, name) == typed && recorded(dir, name, "umbral=0.0001"), __FILE__,
                      __LINE__, name);
    // A threshold that drops everything but DC gives a flat image: the answer is used.
    runLine(dir, "inverse.exe", "in.pgm psf.pgm flat.pgm", "0.99999\n");
    const img::Image flat = img::readPnm(dir.file("flat.pgm"));
    CHECK(*std::max_element(flat.px.begin(), flat.px.end())
              - *std::min_element(flat.px.begin(), flat.px.end())
          <= 1.0 / 255 + 1e-9);

    // wiener explains its advice and offers a measured k; a comma and a point mean the same.
    run = runLine(dir, "wiener.exe", "in.pgm psf.pgm w_eof.pgm", "");
    CHECK(run.status == 0 && contains(run.out, "desviación") && contains(run.out, "el doble")
          && contains(run.out, "k ["));
    runLine(dir, "wiener.exe", "in.pgm psf.pgm w_enter.pgm", "?\n\n");
    CHECK(pixels(dir, "w_enter.pgm") == pixels(dir, "w_eof.pgm"));
    // The header holds the advised k exactly: typed back, it gives the same image.
    const std::string line = img::readPnmComments(dir.file("w_eof.pgm")).back();
    const std::string k = line.substr(line.rfind(" k=") + 3);
    runLine(dir, "wiener.exe", "in.pgm psf.pgm w_typed.pgm", k + "\n");
    CHECK(pixels(dir, "w_typed.pgm") == pixels(dir, "w_eof.pgm")
          && recorded(dir, "w_typed.pgm", "k=" + k));
    runLine(dir, "wiener.exe", "in.pgm psf.pgm w_comma.pgm", "0,01\n");
    runLine(dir, "wiener.exe", "in.pgm psf.pgm w_point.pgm", "0.01\n");
    CHECK(pixels(dir, "w_comma.pgm") == pixels(dir, "w_point.pgm")
          && pixels(dir, "w_comma.pgm") != pixels(dir, "w_eof.pgm"));
    CHECK(recorded(dir, "w_comma.pgm", "k=0.01") && recorded(dir, "w_point.pgm", "k=0.01"));
}

void testSnrRegions()
{
    // A cosine of 20 grey levels at frequency (16, -6) of a 64 × 48 image: display pixel
    // (48, 18); its twin at (16, 30).
    // The picture holds only frequencies within 0.05 cycles per pixel of DC, where no spike
    // is looked for, so that the cosine is the only suggestion.
    TempDir dir;
    img::Image clean(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            clean.at(x, y) = 0.5 + 0.2 * std::cos(2 * std::numbers::pi * (2.0 * x / 64 + 0.1))
                + 0.15 * std::sin(2 * std::numbers::pi * (x / 64.0 + 2.0 * y / 48));
    img::Image noisy = clean;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            noisy.at(x, y)
                += 20.0 / 255 * std::cos(2 * std::numbers::pi * (16.0 * x / 64 - 6.0 * y / 48));
    img::writePgm(dir.file("in.pgm"), noisy, 16);
    const img::Image ref = img::quantised(clean, 8);

    ToolRun run = runLine(dir, "snr.exe", "in.pgm sugerido.pgm", "");
    CHECK(run.status == 0 && contains(run.out, "región propuesta: 48 18 48 18"));
    CHECK(img::psnr(img::readPnm(dir.file("sugerido.pgm")), ref) > 35.0);
    CHECK(recorded(dir, "sugerido.pgm", "regiones=48,18,48,18"));

    // Typed regions: a bad line is asked again, a region outside is refused, the twin goes too.
    run = runLine(dir, "snr.exe", "in.pgm twin.pgm", "1 2 3\n70 0 80 5\n15 29 17 31\n\n");
    CHECK(contains(run.out, "cuatro números") && contains(run.out, "fuera del espectro"));
    CHECK(img::psnr(img::readPnm(dir.file("twin.pgm")), ref) > 35.0);
    CHECK(recorded(dir, "twin.pgm", "regiones=15,29,17,31"));

    // A region elsewhere leaves the cosine in.
    runLine(dir, "snr.exe", "in.pgm otra.pgm", "2 2 3 3\n");
    CHECK(img::psnr(img::readPnm(dir.file("otra.pgm")), ref) < 27.0);
}

void testNamesAndDepth()
{
    TempDir dir;
    img::writePgm(dir.file("align.pgm"), img::quantised(scene(64, 48), 8), 8);
    dir.write("Mov10.pgm", "viejo");
    // "ALIGN.PGM" reads align.pgm; "mov10.pgm" replaces Mov10.pgm instead of adding a file.
    CHECK(runLine(dir, "motion.exe", "ALIGN.PGM 10 mov10.pgm").status == 0);
    CHECK(dir.listing() == "Mov10.pgm align.pgm ");
    CHECK(maxvalOf(dir, "Mov10.pgm") == 255);

    // shuffle writes shuff.pgm in 16 bits whatever it is asked to read; homo finds it as
    // "Shuff.pgm".
    CHECK(runLine(dir, "shuffle.exe", "Align.pgm").status == 0);
    CHECK(maxvalOf(dir, "shuff.pgm") == 65535);
    CHECK(runLine(dir, "homo.exe", "Shuff.pgm homo.pgm").status == 0);
    CHECK(maxvalOf(dir, "homo.pgm") == 255);

    // hiemph: 8-bit in, 16-bit out for the second pass; then 8 bits to look at.
    CHECK(runLine(dir, "hiemph.exe", "align.pgm alto.pgm").status == 0);
    CHECK(maxvalOf(dir, "alto.pgm") == 65535);
    CHECK(runLine(dir, "hiemph.exe", "alto.pgm enfasis.pgm").status == 0);
    CHECK(maxvalOf(dir, "enfasis.pgm") == 255);

    // Every tool answers --help with its usage on standard output.
    for (const Tool &tool : kTools) {
        const ToolRun help = runLine(dir, tool.file, "--help");
        CHECK(help.status == 0 && contains(help.out, "uso:"));
    }
}

} // namespace

int main()
{
    testBadInput();
    testQuestions();
    testSnrRegions();
    testNamesAndDepth();
    return check::summary();
}
