// The per-user record of programs that failed.
#include "failurelog.h"
#include "stagedfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// The log opened for appending and locked. A writer that cut the log down meanwhile renamed a
// new file over the one this lock is on: then the new one is opened and locked instead.
class LockedLog
{
public:
    explicit LockedLog(const fs::path &log)
    {
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            m_fd = ::open(log.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
            if (m_fd < 0)
                return;
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) { }
            struct stat held = {};
            struct stat named = {};
            if (::fstat(m_fd, &held) != 0 || ::stat(log.c_str(), &named) != 0
                || held.st_dev != named.st_dev || held.st_ino != named.st_ino) {
                ::close(m_fd);
                m_fd = -1;
            }
        }
    }
    ~LockedLog()
    {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    LockedLog(const LockedLog &) = delete;
    LockedLog &operator=(const LockedLog &) = delete;

    int fd() const { return m_fd; }

    off_t size() const
    {
        struct stat held = {};
        return ::fstat(m_fd, &held) == 0 ? held.st_size : 0;
    }

    // The last line, without its end; only its last 16 KiB.
    std::string lastLine() const
    {
        const off_t end = size();
        std::string tail(size_t(std::min<off_t>(end, 16 * 1024)), '\0');
        const ssize_t got = ::pread(m_fd, tail.data(), tail.size(), end - off_t(tail.size()));
        tail.resize(got > 0 ? size_t(got) : 0);
        while (!tail.empty() && tail.back() == '\n')
            tail.pop_back();
        const size_t start = tail.rfind('\n');
        return start == tail.npos ? tail : tail.substr(start + 1);
    }

private:
    int m_fd = -1;
};

bool sameButForTime(const Failure &a, const Failure &b)
{
    Failure later = b;
    later.time = a.time;
    return format(a) == format(later);
}

// The last kMaxLines lines, at most half of kTrimBytes, through a file renamed over the log.
bool cutDown(const fs::path &log)
{
    const std::vector<std::string> lines = lastLines(log, kMaxLines);
    std::string kept;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (kept.size() + line->size() + 1 > kTrimBytes / 2)
            break;
        kept.insert(0, *line + '\n');
    }
    dos::StagedFile file(log);
    return file.write(kept) && file.commit();
}

bool append(const Failure &failure, const fs::path &log, bool unlessRepeated)
{
    std::error_code error;
    fs::create_directories(log.parent_path(), error);
    const LockedLog locked(log);
    if (locked.fd() < 0)
        return false;
    if (unlessRepeated) {
        const std::optional<Failure> last = parse(locked.lastLine());
        if (last && sameButForTime(failure, *last))
            return true;
    }
    const std::string line = format(failure) + '\n';
    // One write of one line: a full disk writes nothing, or a line a reader skips.
    if (::write(locked.fd(), line.data(), line.size()) != ssize_t(line.size()))
        return false;
    return locked.size() <= off_t(kTrimBytes) || cutDown(log);
}

} // namespace

bool record(const Failure &failure, const fs::path &log)
{
    return append(failure, log, false);
}

bool recordUnlessRepeated(const Failure &failure, const fs::path &log)
{
    return append(failure, log, true);
}

std::vector<Failure> readAll(const fs::path &log)
{
    std::vector<Failure> all;
    for (const std::string &line : lastLines(log, kMaxLines))
        if (std::optional<Failure> failure = parse(line))
            all.push_back(std::move(*failure));
    return all;
}

} // namespace failures
