// The per-user record of programs that failed.
//
// A tool started hidden has no console to show its error in, so our command shell writes each
// failure here, and the viewer reads it back to tell the student why an image is missing. One
// line per failure, fields separated by tabs:
//
//   time (UTC, ISO 8601)  working folder  exit status  program  arguments  its message
//
// Folder and program are DOS names, as the batch file wrote them. The file lives in the XDG
// state folder, $XDG_STATE_HOME/tavelio/fallos.log (~/.local/state/tavelio/ by default).
// Readers see the last kMaxLines failures; the file is cut down to them now and then.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace failures {

namespace fs = std::filesystem;

inline constexpr size_t kMaxLines = 300;
// The size past which the log is cut down to its last kMaxLines, and at most half of it.
inline constexpr size_t kTrimBytes = 256 * 1024;

struct Failure
{
    std::string time;
    std::string folder;
    int status = 0;
    std::string program;
    std::string arguments;
    std::string message;
};

// $XDG_STATE_HOME/tavelio/fallos.log, else $HOME/.local/state/tavelio/fallos.log.
fs::path logPath();

// One line of the log, and back; nothing for a line that is not one.
std::string format(const Failure &failure);
std::optional<Failure> parse(std::string_view line);

// The current time as the log writes it.
std::string now();

// Appends `failure` as one line. Writers may race (two chained tools failing at once): each
// holds a lock on the log while it appends, so both lines arrive whole. Once the file passes
// kTrimBytes it is cut down to its last lines, through a temporary file renamed over it, so a
// reader never sees half a log. False when it could not be written; a failure to record a
// failure is not worth more than that.
bool record(const Failure &failure, const fs::path &log = logPath());

// The same, but nothing is written when the log's last line already says the same but for its
// time: a problem met at every start is one line, not one per start. True then too.
bool recordUnlessRepeated(const Failure &failure, const fs::path &log = logPath());

// Every failure the log holds, oldest first.
std::vector<Failure> readAll(const fs::path &log = logPath());

} // namespace failures
