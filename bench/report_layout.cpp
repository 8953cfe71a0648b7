// bench_report_layout: the time "Guardar informe..." takes on headers no tool writes but a
// student may bring: one line holding a 3,000-character word, forty such lines, and 2,000 mixed
// comment lines (the tools' lines, a photograph's comments, long words, omissions, empty ones).
// Each 64 × 48 picture is read, its report composed and drawn, as the viewer does; the best of
// a few runs is printed, with the pages and lines of steps shown. The page shows a bounded
// part of any header, so every figure should stay well under a second.
//
//   bench_report_layout [RUNS]
#include "imageload.h"
#include "labreport.h"
#include "pnm.h"
#include "reportpdf.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Header
{
    const char *name;
    std::vector<std::string> lines;
};

std::string longWordLine(int index)
{
    return "motion.exe " + std::string(3000, char('a' + index % 26)) + " 25 mov25.pgm";
}

std::vector<Header> headers()
{
    std::vector<Header> all;
    all.push_back({"una línea con una palabra de 3000 caracteres", {longWordLine(0)}});
    Header forty {"40 líneas así", {}};
    for (int i = 0; i < 40; ++i)
        forty.lines.push_back(longWordLine(i));
    all.push_back(forty);
    Header mixed {
        "2000 líneas mezcladas",
        {"File written by Adobe Photoshop 4.0", "align.exe camera.pgm huella=0123456789abcdef"}};
    const char *kinds[] = {"mblur.exe align.pgm 25 distor.pgm", "CREATOR: GIMP PNM Filter",
                           "(5 pasos omitidos)", "", nullptr};
    for (int i = 0; mixed.lines.size() < 2000; ++i) {
        const char *kind = kinds[i % 5];
        mixed.lines.push_back(kind ? kind : longWordLine(i).substr(0, 400));
    }
    mixed.lines.back() = "motion.exe distor.pgm 25 mov25.pgm";
    all.push_back(mixed);
    return all;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QTemporaryDir folder;
    for (const Header &header : headers()) {
        const std::string path = QDir(folder.path()).filePath("mov25.pgm").toStdString();
        img::writePgm(path, img::Image(64, 48, 0.5), 8, header.lines);
        double best = 1e9;
        size_t steps = 0, bytes = 0;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer clock;
            clock.start();
            const picture::OpenResult opened = picture::loadImage(path);
            if (!opened.image) {
                std::fprintf(stderr, "bench_report_layout: %s\n", qPrintable(opened.error));
                return 2;
            }
            const report::LabReport page
                = report::composeReport(*opened.image, QDateTime::currentDateTime(), "Ana");
            QString reason;
            bytes = size_t(report::renderReportPdf(page, reason).size());
            best = std::min(best, double(clock.nsecsElapsed()) / 1e9);
            steps = page.steps.size();
        }
        std::printf("%s: %.3f s (mejor de %d), %zu pasos mostrados, PDF de %zu KB\n", header.name,
                    best, runs, steps, bytes / 1024);
    }
    return 0;
}
