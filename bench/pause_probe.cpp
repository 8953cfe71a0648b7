// Prints the wall and CPU seconds of one 2-second Espera, with a window open.
#include "espera.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>
#include <sys/resource.h>

static double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.show();
    app::Pauses pauses;
    QElapsedTimer wall;
    const double cpuBefore = cpuSeconds();
    wall.start();
    pauses.Espera(2.0);
    std::printf("%.3f %.4f\n", wall.elapsed() / 1000.0, cpuSeconds() - cpuBefore);
    return 0;
}
