// bench_class_start: what a student's start spends on the class folder, against its size.
//
//   bench_class_start [STRAY...]      # default 0 1000 10000
//
// For each count, a class folder with three photographs and that many stray bitmaps without
// their twin, as a folder people drop things into collects, and a fresh drive C; then the
// class's step of tavelio-drivec (link the photographs, record the problems in the failure
// log) runs RUNS times (7 by default). Prints the median and the slowest run in milliseconds,
// and how many lines the failure log gained over all the runs.

#include "classphotos.h"
#include "drivec.h"
#include "failurelog.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void write(const fs::path &file, const std::string &bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

size_t lineCount(const fs::path &file)
{
    std::ifstream in(file);
    return size_t(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
}

void measure(const fs::path &scratch, int stray, int runs)
{
    const fs::path classFolder = scratch / ("clase" + std::to_string(stray));
    const fs::path driveC = scratch / ("drive_c" + std::to_string(stray));
    const fs::path log = driveC / "fallos.log";
    fs::create_directories(classFolder);
    fs::create_directories(dos::toolFolder(driveC));
    for (const char *name : {"puerto", "faro", "isla"}) {
        write(classFolder / (std::string(name) + classroom::kBitmapSuffix), "BM\x01");
        write(classFolder / (std::string(name) + classroom::kTwinSuffix), "P5 1 1 255\n\x01");
    }
    for (int i = 0; i < stray; ++i)
        write(classFolder / ("suelta" + std::to_string(i) + classroom::kBitmapSuffix), "BM\x01");

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        classroom::linkAtStart(classFolder, driveC, log);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%6d sueltas: mediana %8.2f ms, la más lenta %8.2f ms; el registro gana %zu "
                "línea(s) en %d arranques\n",
                stray, times[times.size() / 2], times.back(), lineCount(log), runs);
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {0, 1000, 10000};
    const char *runsText = std::getenv("RUNS");
    const int runs = std::max(1, runsText ? std::atoi(runsText) : 7);
    const fs::path scratch
        = fs::temp_directory_path() / ("bench_class_start." + std::to_string(::getpid()));
    for (const int stray : counts)
        measure(scratch, stray, runs);
    std::error_code error;
    fs::remove_all(scratch, error);
    return 0;
}
