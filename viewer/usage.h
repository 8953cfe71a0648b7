// What i_view32.exe answers from its command line alone, before any window: the usage for
// --help and a one-line error for an option it does not have. Both must work where there is no
// display (a script, an ssh session), so they are decided on argv before Qt starts.
#pragma once

#include <optional>
#include <string>

namespace viewer {

// The usage in Spanish, one option a line, ending in a newline.
std::string usageText();

struct EarlyAnswer
{
    int exitStatus = 0; // img::ExitStatus
    std::string out; // for standard output (the usage)
    std::string error; // one line for standard error (a wrong option)
};

// The answer when argv asks for help or names an option the viewer lacks; nothing when the
// arguments are an image or an option that needs Qt.
std::optional<EarlyAnswer> answerWithoutWindow(int argc, const char *const *argv);

} // namespace viewer
