// The bad-input matrix: every tool, every way its input can be wrong. Each case must end with
// the right exit status (1 misuse, 2 bad input), a Spanish message whose first line names the
// program and the offending file or value, and the working folder exactly as it was: no new
// file, no temporary left behind, an existing output untouched.
#include "check.h"
#include "runtool.h"
#include "tempdir.h"

#include <map>

namespace {

std::string repeat(char c, size_t n)
{
    return std::string(n, c);
}

// The folder every case starts from: good inputs, bad inputs, and outputs from an earlier run.
void populate(const TempDir &dir)
{
    dir.write("buena.pgm", "P5\n40 30\n255\n" + repeat('\x80', 40 * 30));
    dir.write("psf.pgm", "P2\n3 3\n1\n0 1 0\n1 1 1\n0 1 0\n");
    dir.write("truncada.pgm", "P5\n40 30\n255\n" + repeat('\x80', 100));
    dir.write("cabecera.pgm", "P5\n40 x\n255\n" + repeat('\x80', 1200));
    dir.write("vacia.pgm", "");
    dir.write("maxval0.pgm", "P2\n2 2\n0\n0 0 0 0\n");
    dir.write("maxval.pgm", "P2\n2 2\n70000\n0 0 0 0\n");
    dir.write("enorme.pgm", "P5\n16385 1\n255\n" + repeat('\0', 16385));
    dir.write("cero.pgm", "P2\n3 3\n255\n0 0 0 0 0 0 0 0 0\n");
    dir.write("grande.pgm", "P5\n41 3\n255\n" + repeat('\x01', 41 * 3));
    dir.write("distor.pgm", "salida anterior");
    dir.write("align.pgm", "align anterior");
}

std::map<std::string, std::string> snapshot(const TempDir &dir)
{
    std::map<std::string, std::string> files;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path))
        files[entry.path().filename().string()] = dir.read(entry.path().filename().string());
    return files;
}

// Runs one case and checks status, message and folder.
void expect(const std::string &tool, const std::vector<std::string> &args, int status,
            const std::string &named)
{
    TempDir dir;
    populate(dir);
    const auto before = snapshot(dir);
    const ToolRun run = runTool(tool + ".exe", args, dir.path);

    std::string label = tool;
    for (const auto &a : args)
        label += " «" + a + "»";
    check::report(run.status == status, __FILE__, __LINE__,
                  label + ": estado " + std::to_string(run.status) + ", se esperaba "
                      + std::to_string(status));
    const std::string first = run.err.substr(0, run.err.find('\n'));
    const bool names = first.rfind(tool + ": ", 0) == 0 && first.find(named) != std::string::npos;
    check::report(names, __FILE__, __LINE__, label + ": mensaje «" + first + "»");
    if (status == 2) // bad input: that one line and nothing more
        check::report(run.err == first + "\n", __FILE__, __LINE__, label + ": una sola línea");
    else // misuse: the usage text follows
        check::report(run.err.find("\nuso: " + tool + ".exe") != std::string::npos, __FILE__,
                      __LINE__, label + ": sin texto de uso");
    check::report(snapshot(dir) == before, __FILE__, __LINE__, label + ": la carpeta cambió");
}

const char *const kBadImages[] = {"falta.pgm",   "truncada.pgm", "cabecera.pgm", "vacia.pgm",
                                  "maxval0.pgm", "maxval.pgm",   "enorme.pgm"};

void testAlign()
{
    for (const char *bad : kBadImages)
        expect("align", {bad}, 2, bad);
    expect("align", {}, 1, "argumento");
    expect("align", {"buena.pgm", "otra.pgm"}, 1, "argumento");
}

void testMblur()
{
    for (const char *bad : kBadImages)
        expect("mblur", {bad, "10", "distor.pgm"}, 2, bad);
    for (const char *length : {"0", "-3", "abc", "2.5", "", "1e3", "+5", " 7", "99999999999"})
        expect("mblur", {"buena.pgm", length, "distor.pgm"}, 1, std::string("«") + length + "»");
    // Longer than the image is wide: a PSF larger than the image.
    expect("mblur", {"buena.pgm", "41", "distor.pgm"}, 2, "buena.pgm");
    expect("mblur", {"buena.pgm", "10"}, 1, "argumento");
    expect("mblur", {"buena.pgm", "10", "no/hay/salida.pgm"}, 2, "salida.pgm");
}

void testBlur()
{
    for (const char *bad : kBadImages) {
        expect("blur", {bad, "psf.pgm", "distor.pgm"}, 2, bad);
        expect("blur", {"buena.pgm", bad, "distor.pgm"}, 2, bad);
    }
    expect("blur", {"buena.pgm", "cero.pgm", "distor.pgm"}, 2, "cero.pgm");
    expect("blur", {"buena.pgm", "grande.pgm", "distor.pgm"}, 2, "grande.pgm");
    expect("blur", {"buena.pgm", "psf.pgm"}, 1, "argumento");
    expect("blur", {"buena.pgm", "psf.pgm", "no/hay/salida.pgm"}, 2, "salida.pgm");
}

void testSnoiseAndTransfor()
{
    for (const char *tool : {"snoise", "transfor"}) {
        for (const char *bad : kBadImages)
            expect(tool, {bad, "distor.pgm"}, 2, bad);
        expect(tool, {"buena.pgm"}, 1, "argumento");
        expect(tool, {"buena.pgm", "a.pgm", "b.pgm"}, 1, "argumento");
        expect(tool, {"buena.pgm", "no/hay/salida.pgm"}, 2, "salida.pgm");
    }
}

} // namespace

int main()
{
    testAlign();
    testMblur();
    testBlur();
    testSnoiseAndTransfor();
    return check::summary();
}
