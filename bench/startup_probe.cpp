// Prints "painted" when the main window first paints, then quits: bench/run.sh times it
// from the start of the process.
#include "startup.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    return app::runTavelio(argc, argv, [] {
        std::puts("painted");
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}
