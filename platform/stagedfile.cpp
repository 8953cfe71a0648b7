// Writing a file through a temporary one renamed over it.
#include "stagedfile.h"

#include "oserror.h"

#include <cerrno>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dos {

namespace {

// A short hidden name the class folder's reader passes over, unique enough for O_EXCL to
// settle the rest. Not built on the target's name: a target whose name is near the 255 bytes
// a name may have would leave no room for the temporary's.
std::filesystem::path temporaryBeside(const std::filesystem::path &target)
{
    thread_local std::mt19937_64 random(std::random_device {}() ^ std::uint64_t(::getpid()));
    const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix;
    for (int i = 0; i < 8; ++i)
        suffix += letters[random() % (sizeof letters - 1)];
    return target.parent_path() / (".tavelio-" + suffix);
}

} // namespace

int writeWhole(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return ENOSPC;
        bytes.remove_prefix(size_t(written));
    }
    return 0;
}

StagedFile::StagedFile(std::filesystem::path target, Flush flush)
    : m_target(std::move(target))
    , m_flush(flush)
{
}

StagedFile::~StagedFile()
{
    discard();
}

bool StagedFile::failed(int errnum)
{
    m_errno = errnum;
    discard();
    return false;
}

bool StagedFile::write(std::string_view bytes, std::optional<mode_t> mode)
{
    discard();
    m_errno = 0;
    // The mode of a regular file it replaces stays; the entry itself is only looked at.
    struct stat old = {};
    if (!mode && ::lstat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        mode = old.st_mode & 07777;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        m_temporary = temporaryBeside(m_target);
        fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0666);
        if (fd < 0 && errno != EEXIST) {
            m_temporary.clear();
            return failed(errno);
        }
    }
    if (fd < 0) {
        m_temporary.clear();
        return failed(EEXIST);
    }
    int error = mode && ::fchmod(fd, *mode) != 0 ? errno : 0;
    if (!error)
        error = writeWhole(fd, bytes);
    // EINVAL: a file system without fsync.
    if (!error && m_flush == Flush::ToDisk && ::fsync(fd) != 0 && errno != EINVAL)
        error = errno;
    if (::close(fd) != 0 && !error) // NFS may report a full disk only here
        error = errno;
    return error ? failed(error) : true;
}

bool StagedFile::commit()
{
    return commitAs(m_target);
}

bool StagedFile::commitAs(const std::filesystem::path &entry)
{
    if (m_temporary.empty())
        return failed(m_errno ? m_errno : ENOENT);
    if (::rename(m_temporary.c_str(), entry.c_str()) != 0)
        return failed(errno);
    m_temporary.clear();
    return true;
}

void StagedFile::discard()
{
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

std::string StagedFile::reason() const
{
    return m_errno ? spanishReason(m_errno) : std::string();
}

} // namespace dos
