// The frame every image tool shares: arguments, messages and exit status.
#include "tool.h"

#include "pnm.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#include <unistd.h>

namespace img {

namespace {

// Every 4 KiB page of a fresh buffer costs a page fault, about 3 µs on the machines measured;
// a tool on a 2048 × 2048 image touches some 36,000 of them, a quarter of its run. glibc backs
// its large blocks with transparent huge pages when the tunable glibc.malloc.hugetlb=1 is set,
// and only the environment at start-up can set it: so the tool starts itself once more with
// it. Where the kernel has no huge pages the tunable does nothing; if exec fails, the tool goes
// on as it is.
void restartWithHugePages(char **argv)
{
    const char *current = std::getenv("GLIBC_TUNABLES");
    if (current && std::strstr(current, "glibc.malloc.hugetlb"))
        return; // set already, by the first start or by the user
    std::string value = "glibc.malloc.hugetlb=1";
    if (current && *current)
        value = std::string(current) + ":" + value;
    if (::setenv("GLIBC_TUNABLES", value.c_str(), 1) == 0)
        ::execv("/proc/self/exe", argv);
}

} // namespace

int runTool(const char *program, const char *usage, int argc, char **argv, const ToolMain &run)
{
    if (argc > 0)
        restartWithHugePages(argv);
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(usage, stdout);
        return kOk;
    }
    // One line naming the program; the usage text only where the command line was wrong.
    try {
        run(args);
        return kOk;
    } catch (const Misuse &e) {
        std::fprintf(stderr, "%s: %s\n%s", program, e.what(), usage);
        return kMisuse;
    } catch (const ImageError &e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
    } catch (const BadInput &e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "%s: no hay memoria suficiente para la imagen\n", program);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: error interno: %s\n", program, e.what());
    }
    return kBadInput;
}

void expectArgs(const std::vector<std::string> &args, size_t count)
{
    if (args.size() != count)
        throw Misuse("se esperaban " + std::to_string(count) + " argumentos y hay "
                     + std::to_string(args.size()));
}

int parsePositive(const std::string &text, const char *what)
{
    // Plain decimal digits only: no sign, no blanks, no exponent, as the command lines write.
    long long value = 0;
    bool ok = !text.empty();
    for (char c : text) {
        if (c < '0' || c > '9') {
            ok = false;
            break;
        }
        value = std::min(value * 10 + (c - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    if (!ok || value < 1 || value > INT_MAX)
        throw Misuse(std::string(what) + " «" + text + "» no es un número entero positivo");
    return int(value);
}

} // namespace img
