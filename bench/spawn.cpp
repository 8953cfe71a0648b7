// bench_spawn: runs a command as the child of this small process and writes down its figures.
//
//   bench_spawn figures program [arguments ...]
//
// Writes to the file `figures` the command's wall seconds (from just before it is started to
// its end), its CPU seconds (user and system) and its peak resident memory in bytes, and exits
// as the command did. The peak that wait4() reports for a process started straight from the
// benchmark's Python includes, carried through exec, the high-water mark of the Python process
// it was forked from, and the benchmark's own buffers raise that above what a small tool uses;
// started from here, the command inherits only this program's. The figures are the command's
// own: this program's start-up is not in them.
#include <cerrno>
#include <cstdio>
#include <ctime>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

static double seconds(const timeval &t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fputs("uso: bench_spawn cifras programa [argumentos ...]\n", stderr);
        return 2;
    }
    timespec start {}, end {};
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("bench_spawn: fork");
        return 2;
    }
    if (child == 0) {
        ::execv(argv[2], argv + 2);
        std::perror(argv[2]);
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    while (::wait4(child, &status, 0, &usage) < 0)
        if (errno != EINTR)
            return 2;
    ::clock_gettime(CLOCK_MONOTONIC, &end);
    std::FILE *figures = std::fopen(argv[1], "w");
    if (!figures) {
        std::perror(argv[1]);
        return 2;
    }
    std::fprintf(figures, "%.6f %.6f %ld\n",
                 double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) / 1e9,
                 seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_maxrss * 1024L);
    if (std::fclose(figures) != 0) {
        std::perror(argv[1]);
        return 2;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
