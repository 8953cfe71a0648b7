// The frame every image tool shares: arguments, messages and exit status.
#include "tool.h"

#include "pnm.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

namespace img {

int runTool(const char *program, const char *usage, int argc, char **argv, const ToolMain &run)
{
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
