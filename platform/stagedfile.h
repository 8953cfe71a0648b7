// A file written whole or not at all, never through a link.
//
// The bytes go to a new temporary file beside the target, which is renamed over it at the end.
// A rename needs only the folder's permission, so a teacher replaces a photograph another
// teacher wrote into the class's group-writable folder; and a rename replaces the entry itself,
// so a symbolic link, a FIFO or a device planted under the target's name is replaced, never
// opened, and the file a link points at is never written. A failure (a full disk included)
// leaves the old entry as it was, and no temporary.
//
// Every file the programs write whole goes through here: this is the one place a temporary is
// renamed over its target.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace dos {

// Writes all of `bytes` to `fd`, through short writes and interruptions: 0, or the reason it
// could not.
int writeWhole(int fd, std::string_view bytes);

class StagedFile
{
public:
    // Whether write() waits for the bytes to reach the disk. A file that must outlive a power
    // cut (a teacher's photograph, the failure log) flushes; an image tool's output, made again
    // by the next run, leaves it to the system and keeps the tool as fast as its floor.
    enum class Flush { ToDisk, Later };

    explicit StagedFile(std::filesystem::path target, Flush flush = Flush::ToDisk);
    ~StagedFile(); // discards what was not committed
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    // Writes `bytes` to the temporary file, with `mode` whatever the umask; without one, the
    // mode of the regular file it replaces, or a new file's under the umask. False on failure.
    bool write(std::string_view bytes, std::optional<mode_t> mode = std::nullopt);
    // Renames the temporary over the target. False on failure, the temporary gone.
    bool commit();
    // The same over `entry`, another name in the target's folder: a writer that looks the
    // name up again at the last moment (without regard to case, say) renames over what it
    // found.
    bool commitAs(const std::filesystem::path &entry);
    // Removes the temporary, if any.
    void discard();

    const std::filesystem::path &target() const { return m_target; }
    // Why the last step failed, in Spanish, without the file's name; empty if none did.
    std::string reason() const;

private:
    bool failed(int errnum);

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    Flush m_flush;
    int m_errno = 0;
};

} // namespace dos
