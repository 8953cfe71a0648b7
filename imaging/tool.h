// The frame every image tool shares: arguments, messages and exit status.
//
//   int main(int argc, char** argv) { return img::runTool("mblur", kUsage, argc, argv, run); }
//
// `run` does the work and throws on failure; the frame prints one line "mblur: <message>" on
// standard error and returns the status: 0 done, 1 misuse (wrong arguments, the usage text
// follows), 2 bad input (an ImageError or BadInput). The viewer's report, which writes a file the
// tools' frame does not, adds 3: the output could not be written.
#pragma once

#include "errors.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace img {

enum ExitStatus { kOk = 0, kMisuse = 1, kBadInput = 2, kCannotWrite = 3 };

struct Misuse : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

using ToolMain = std::function<void(const std::vector<std::string> &args)>;

int runTool(const char *program, const char *usage, int argc, char **argv, const ToolMain &run);

// How a tool's output was made, for its header's comments (pnm.h): the lines `inherited` from
// the image it processed, then a line of its own, e.g.
//   wiener.exe blurred.pgm psf1A.pgm wiener.pgm k=0.0123
// naming the program as its command line did (argv[0] without its folder), the arguments as
// given (a name with a blank in double quotes, "mi foto.pgm", so that it reads back as one)
// and each answer noted with noteAnswer. A tool with two input images inherits from the first,
// the one it processes: a PSF is a parameter of the step, not an earlier step of the picture.
// A chain longer than kHistoryLines keeps its origin (the last align.exe line: which photograph
// it started from), then one line saying how many steps were left out (omittedLine), then its
// latest lines, so that a long chain cannot grow a header without bound and still says where
// it began.
constexpr size_t kHistoryLines = 16;
std::vector<std::string> history(const std::vector<std::string> &inherited);

// The line that stands for `count` steps left out of a long chain: "(3 pasos omitidos)".
std::string omittedLine(size_t count);
// The count such a line gives, or 0 for any other line.
size_t omittedCount(const std::string &line);

// The words of a tool's line: blanks separate them, except inside double quotes, which are
// dropped ("motion.exe \"mi dis.pgm\" 25 r.pgm" gives four words).
std::vector<std::string> lineWords(const std::string &line);

// An argument as a line writes it: in double quotes when it holds a blank or is empty.
std::string quotedWord(const std::string &word);

// Notes the value a prompt's answer gave `name`, typed or the suggestion taken with Enter, for
// the line history() adds: " name=value", a number as printf's %g writes it (0.0001, 1e-05)
// but in as many digits as it takes to read back exactly.
void noteAnswer(const std::string &name, double value);
void noteAnswer(const std::string &name, const std::string &value);

// Checks the number of arguments, throwing Misuse when it differs.
void expectArgs(const std::vector<std::string> &args, size_t count);

// A positive whole number written in plain decimal digits; Misuse naming `what` otherwise.
int parsePositive(const std::string &text, const char *what);

} // namespace img
