// The batch language our command shell understands: just enough of a Windows console's.
//
//   "@" before a line   hides that line's echo
//   echo                prints the echo state; "echo on" / "echo off" set it; "echo text" prints
//   cls                 clears the console
//   anything else       a program (a DOS path) and its arguments, split at blanks
//
// No shell ever sees a line: no character in it (; & | $ ` < > quotes) has any meaning, and the
// words are handed to the program as they stand.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace batch {

// Exit status of a line whose program cannot be found, as a Windows console reports it.
constexpr int kNotFound = 9009;

// Exit status of a line whose program was found but cannot be executed (no "#!" line, another
// architecture, a missing interpreter), as the Unix shells report it; distinct from a program's
// own failures, which tools report as 1 and 2.
constexpr int kCannotRun = 126;

// What the interpreter needs from the outside world.
class Console
{
public:
    virtual ~Console() = default;
    virtual void out(std::string_view text) = 0;
    virtual void err(std::string_view text) = 0;
    virtual void clearScreen() = 0;
    // The prompt shown before an echoed line, e.g. "c:\qor\ejecutable\auxiliares>".
    virtual std::string prompt() = 0;
    // Runs the program named by words[0] with the rest as arguments and waits for it;
    // std::nullopt when there is no such program, kCannotRun (its reason already told) when it
    // cannot be executed.
    virtual std::optional<int> run(const std::vector<std::string> &words) = 0;
};

// Splits a line at runs of blanks and tabs.
std::vector<std::string> splitWords(std::string_view line);

// The lines of a batch file, with CR LF, LF or CR line ends.
std::vector<std::string> splitLines(std::string_view text);

// Runs every line of a batch file; the result is the status of the last program run (0 when
// none ran).
int runScript(std::string_view text, Console &console);

} // namespace batch
