// The twin-name rule of the open command.
#include "pgmtwin.h"

#include "drivec.h"

namespace app {

namespace {

// The rule cuts a fixed 29 characters: the length of the tool folder's name.
constexpr int kToolFolderLength = 29;
static_assert(std::size(dos::kToolFolder) - 1 == kToolFolderLength);
constexpr int kExtensionLength = 4; // ".BMP"

} // namespace

std::optional<QString> pgmTwinName(const QString &fullDosName)
{
    const qsizetype length = fullDosName.size() - kToolFolderLength - kExtensionLength;
    if (length < 0)
        return std::nullopt;
    return fullDosName.mid(kToolFolderLength, length) + QStringLiteral(".pgm");
}

} // namespace app
