// The frame every image tool shares: arguments, messages and exit status.
//
//   int main(int argc, char** argv) { return img::runTool("mblur", kUsage, argc, argv, run); }
//
// `run` does the work and throws on failure; the frame prints one line "mblur: <message>" on
// standard error and returns the status: 0 done, 1 misuse (wrong arguments, the usage text
// follows), 2 bad input (an ImageError or BadInput).
#pragma once

#include "errors.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace img {

enum ExitStatus { kOk = 0, kMisuse = 1, kBadInput = 2 };

struct Misuse : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

using ToolMain = std::function<void(const std::vector<std::string> &args)>;

int runTool(const char *program, const char *usage, int argc, char **argv, const ToolMain &run);

// Checks the number of arguments, throwing Misuse when it differs.
void expectArgs(const std::vector<std::string> &args, size_t count);

// A positive whole number written in plain decimal digits; Misuse naming `what` otherwise.
int parsePositive(const std::string &text, const char *what);

} // namespace img
