// bench_sweep: the sweep of a Wiener or inverse-filter result against one run of the tool.
//
//   bench_sweep TOOLS WORK wiener|inverse RUNS
//   bench_sweep TOOLS WORK comparar RUNS
//
// WORK holds align.pgm, distor.pgm and psf1A.pgm (bench/sweep.sh makes them). Times RUNS runs of
// the tool (wiener.exe or inverse.exe in TOOLS, Enter at its prompt: its advice) and RUNS whole
// sweeps as a curve command makes one: the three files read, the transforms, every value
// restored, rounded and measured, the table written. Prints the medians, their ratio and the
// peak memory of each (the tool's from wait4, this process's own for the sweep). "comparar"
// times every restoration of the menu compared, with both curves and the two steps.
#include "sweep.h"
#include "comparison.h"
#include "pnm.h"
#include "quality.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double cpuSeconds(const struct rusage &u)
{
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double selfCpu()
{
    struct rusage u
    {
    };
    getrusage(RUSAGE_SELF, &u);
    return cpuSeconds(u);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Run
{
    double wall = 0.0, cpu = 0.0, peakMb = 0.0;
};

// One run of the tool in `work` with Enter on its standard input.
Run runTool(const std::string &exe, const std::string &work)
{
    const std::string answers = work + "/enter";
    if (FILE *f = std::fopen(answers.c_str(), "w")) {
        std::fputs("\n", f);
        std::fclose(f);
    }
    std::vector<std::string> args {exe, "distor.pgm", "psf1A.pgm", "tool.pgm"};
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, work.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, answers.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    pid_t pid = -1;
    int status = -1;
    struct rusage usage
    {
    };
    if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ) == 0)
        wait4(pid, &status, 0, &usage);
    const double seconds = since(start);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_sweep: falló %s\n", exe.c_str());
        std::exit(1);
    }
    return {seconds, cpuSeconds(usage), usage.ru_maxrss / 1024.0};
}

int compareAll(const std::string &work, int runs)
{
    std::vector<double> times;
    restore::Comparison last;
    for (int r = 0; r < runs; ++r) {
        const Clock::time_point start = Clock::now();
        last = restore::compareMethods(
            img::readPnm(work + "/distor.pgm"), img::readPnm(work + "/align.pgm"),
            img::readPnm(work + "/psf1A.pgm"), img::readPnm(work + "/psf1A.pgm"), true);
        times.push_back(since(start));
    }
    struct rusage self
    {
    };
    getrusage(RUSAGE_SELF, &self);
    std::printf("comparar %zu métodos: %.3f s, CPU %.3f s, pico %.0f MB\n", last.rows.size(),
                median(times), selfCpu() / runs, self.ru_maxrss / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "uso: bench_sweep HERRAMIENTAS CARPETA wiener|inverse VECES\n");
        return 1;
    }
    const std::string tools = argv[1], work = argv[2], which = argv[3];
    const int runs = std::max(1, std::atoi(argv[4]));
    if (which == "comparar")
        return compareAll(work, runs);
    const restore::Method method
        = which == "wiener" ? restore::Method::Wiener : restore::Method::Inverse;
    const std::string exe = tools + "/" + which + ".exe";

    std::vector<double> toolTimes, toolCpu, sweepTimes, sweepCpu;
    double toolPeak = 0.0;
    restore::Sweep last;
    std::string table;
    int width = 0, height = 0;
    for (int r = 0; r < runs; ++r) {
        const Run run = runTool(exe, work);
        toolTimes.push_back(run.wall);
        toolCpu.push_back(run.cpu);
        toolPeak = std::max(toolPeak, run.peakMb);

        const Clock::time_point start = Clock::now();
        const double cpuStart = selfCpu();
        const restore::Truth truth = restore::truthOf(img::readPnm(work + "/align.pgm"));
        const restore::Blurred blurred = restore::prepare(img::readPnm(work + "/distor.pgm"),
                                                          img::readPnm(work + "/psf1A.pgm"));
        const double advised = restore::advisedValue(method, blurred);
        last = restore::sweep(method, blurred, truth, restore::sweepValues(advised, 0.0));
        table = restore::sweepTable(last);
        sweepTimes.push_back(since(start));
        sweepCpu.push_back(selfCpu() - cpuStart);
        width = truth.width, height = truth.height;
    }
    struct rusage self
    {
    };
    getrusage(RUSAGE_SELF, &self);
    const double tool = median(toolTimes), whole = median(sweepTimes);
    const double toolPsnr
        = img::psnr(img::readPnm(work + "/tool.pgm"), img::readPnm(work + "/align.pgm"));
    const restore::SweepRow &best = last.rows[last.best];
    const double cpuTool = median(toolCpu), cpuWhole = median(sweepCpu);
    std::printf("%s %d×%d: una ejecución %.3f s, CPU %.3f s, pico %.0f MB; barrido de %zu "
                "valores %.3f s, CPU %.3f s, pico %.0f MB; razón %.1f ejecuciones (CPU %.1f)\n"
                "  mejor %s=%g %.2f dB; la herramienta con su consejo %.2f dB\n",
                which.c_str(), width, height, tool, cpuTool, toolPeak, last.rows.size(), whole,
                cpuWhole, self.ru_maxrss / 1024.0, whole / tool, cpuWhole / cpuTool,
                restore::valueName(method), best.value, best.psnr, toolPsnr);
    return 0;
}
