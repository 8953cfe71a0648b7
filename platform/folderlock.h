// An exclusive lock on a folder, held for as long as the object lives.
//
// Writers that share a folder (two tools writing one case-blind name, two tools recording a
// failure) take it around the few steps that must not interleave. flock on the folder itself
// needs no lock file beside the data. Where the folder cannot be opened the lock is simply not
// held, and the writer goes on as it would without it.
#pragma once

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace dos {

class FolderLock
{
public:
    explicit FolderLock(const std::filesystem::path &folder)
        : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (m_fd >= 0)
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) { }
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    int m_fd;
};

} // namespace dos
