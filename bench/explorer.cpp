// bench_explorer: the explorer of a Wiener result, offscreen, as a student uses it.
//
//   bench_explorer WORK [MOVES]
//
// WORK holds a chain with wiener.pgm (bench/explorer.sh makes it). Opens the explorer in a
// window of 1600 × 1000, the size of a screen, and prints: the time to open it, the time until
// its curve is complete, the median time a slider move takes to redraw the picture while it is
// dragged (MOVES moves, 30 by default, after the curve is done), the median time to the whole
// picture once the slider is let go, and the process's peak memory.
#include "explorer.h"
#include "explorervalue.h"
#include "services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSlider>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <sys/resource.h>
#include <time.h>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double milliseconds(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// CPU time of the whole process, or of the calling thread, in milliseconds: what the figures
// would be on an idle machine, where other builds share the cores.
double cpuMs(clockid_t which)
{
    timespec t {};
    clock_gettime(which, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_explorer CARPETA [MOVIMIENTOS]\n");
        return 1;
    }
    const int moves = argc > 2 ? std::atoi(argv[2]) : 30;
    const std::filesystem::path folder = argv[1];

    QElapsedTimer clock;
    clock.start();
    const double cpuStart = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
    QString error;
    QWidget *window = viewer::explorerFor(folder / "wiener.pgm", "wiener.pgm",
                                          platform::systemProcessStarter(), &error);
    auto *explorer = qobject_cast<viewer::ValueExplorer *>(window);
    if (!explorer) {
        std::fprintf(stderr, "bench_explorer: %s\n", qPrintable(error));
        return 2;
    }
    explorer->resize(1600, 1000);
    explorer->show();
    QApplication::processEvents();
    const double opened = milliseconds(clock);
    struct rusage atOpening
    {
    };
    getrusage(RUSAGE_SELF, &atOpening);
    while (!explorer->curveDone() || !explorer->pictureCurrent())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    QApplication::processEvents();
    const double curve = milliseconds(clock);
    const double curveCpu = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;

    auto *slider = explorer->findChild<QSlider *>();
    std::vector<double> dragged, draggedCpu, released;
    for (int i = 0; i < moves; ++i) {
        // Back and forth over the whole range, a few steps a move as a hand drags.
        const int position = (i * 7) % (slider->maximum() + 1);
        slider->setSliderDown(true);
        clock.restart();
        const double before = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        slider->setValue(position == slider->value() ? position + 1 : position);
        QApplication::processEvents();
        dragged.push_back(milliseconds(clock));
        draggedCpu.push_back(cpuMs(CLOCK_THREAD_CPUTIME_ID) - before);
        if (i % 5 == 4) {
            clock.restart();
            slider->setSliderDown(false);
            while (!explorer->pictureCurrent())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            released.push_back(milliseconds(clock));
        }
    }
    slider->setSliderDown(false);

    struct rusage usage
    {
    };
    getrusage(RUSAGE_SELF, &usage);
    const QImage picture = explorer->grab().toImage();
    std::printf("explorer %s: abierto %.0f ms; curva (%zu valores) lista a %.0f ms (%.0f ms de "
                "CPU); arrastre mediana %.1f ms (%.1f ms de CPU); al soltar mediana %.0f ms; "
                "memoria máxima %.0f MB (%.0f MB al abrir)\n",
                folder.filename().c_str(), opened, explorer->curve().size(), curve, curveCpu,
                median(dragged), median(draggedCpu), median(released),
                double(usage.ru_maxrss) / 1024.0, double(atOpening.ru_maxrss) / 1024.0);
    delete explorer;
    return picture.isNull() ? 3 : 0;
}
