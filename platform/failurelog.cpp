// The per-user record of programs that failed.
#include "failurelog.h"
#include "folderlock.h"

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

namespace failures {

namespace {

// A field may not hold the separators of the log.
std::string field(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return out;
}

std::vector<std::string> lastLines(const fs::path &log, size_t keep)
{
    std::vector<std::string> lines;
    std::ifstream in(log, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    if (lines.size() > keep)
        lines.erase(lines.begin(), lines.end() - std::ptrdiff_t(keep));
    return lines;
}

} // namespace

fs::path logPath()
{
    const char *state = std::getenv("XDG_STATE_HOME");
    // The XDG rules ignore a relative value.
    if (state && *state == '/')
        return fs::path(state) / "tavelio" / "fallos.log";
    const char *home = std::getenv("HOME");
    return fs::path(home ? home : "/tmp") / ".local" / "state" / "tavelio" / "fallos.log";
}

std::string format(const Failure &failure)
{
    return field(failure.time) + '\t' + field(failure.folder) + '\t'
        + std::to_string(failure.status) + '\t' + field(failure.program) + '\t'
        + field(failure.arguments) + '\t' + field(failure.message);
}

std::optional<Failure> parse(std::string_view line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; fields.size() < 5 && (tab = line.find('\t', start)) != line.npos;
         start = tab + 1)
        fields.emplace_back(line.substr(start, tab - start));
    if (fields.size() != 5)
        return std::nullopt;
    Failure failure {fields[0], fields[1], 0,
                     fields[3], fields[4], std::string(line.substr(start))};
    std::istringstream status(fields[2]);
    if (!(status >> failure.status))
        return std::nullopt;
    return failure;
}

std::string now()
{
    const std::time_t t = std::time(nullptr);
    std::tm utc {};
    gmtime_r(&t, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

bool record(const Failure &failure, const fs::path &log)
{
    std::error_code error;
    fs::create_directories(log.parent_path(), error);
    const dos::FolderLock lock(log.parent_path());
    std::vector<std::string> lines = lastLines(log, kMaxLines - 1);
    lines.push_back(format(failure));
    fs::path temporary = log;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const std::string &line : lines)
            out << line << '\n';
        if (!out.flush()) {
            out.close();
            fs::remove(temporary, error); // a full disk leaves no half-written log behind
            return false;
        }
    }
    fs::rename(temporary, log, error);
    if (error)
        fs::remove(temporary, error);
    return !error;
}

std::vector<Failure> readAll(const fs::path &log)
{
    std::vector<Failure> all;
    for (const std::string &line : lastLines(log, size_t(-1)))
        if (std::optional<Failure> failure = parse(line))
            all.push_back(std::move(*failure));
    return all;
}

} // namespace failures
