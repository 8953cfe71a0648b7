// A file written whole or not at all, never through a link.
//
// The bytes go to a new temporary file beside the target, which is renamed over it at the end.
// A rename needs only the folder's permission, so a teacher replaces a photograph another
// teacher wrote into the class's group-writable folder; and a rename replaces the entry itself,
// so a symbolic link, a FIFO or a device planted under the target's name is replaced, never
// opened, and the file a link points at is never written. A failure (a full disk included)
// leaves the old entry as it was, and no temporary.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace dos {

class StagedFile
{
public:
    explicit StagedFile(std::filesystem::path target);
    ~StagedFile(); // discards what was not committed
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    // Writes `bytes` to the temporary file, with `mode` whatever the umask; without one, the
    // mode of the regular file it replaces, or a new file's under the umask. False on failure.
    bool write(std::string_view bytes, std::optional<mode_t> mode = std::nullopt);
    // Renames the temporary over the target. False on failure, the temporary gone.
    bool commit();
    // Removes the temporary, if any.
    void discard();

    const std::filesystem::path &target() const { return m_target; }
    // Why the last step failed, in Spanish, without the file's name; empty if none did.
    std::string reason() const;

private:
    bool failed(int errnum);

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    int m_errno = 0;
};

} // namespace dos
