// The name of a bitmap's PGM twin, without the file commands around it: the importer makes the
// twin the open command will look for.
#pragma once

#include <QString>
#include <optional>

namespace app {

// The PGM twin of a chosen bitmap: its full DOS name less the first 29 characters (the length
// of the tool folder's name) and the last 4 (".BMP"), followed by ".pgm". Nothing for a name
// too short to have both cut off.
std::optional<QString> pgmTwinName(const QString &fullDosName);

} // namespace app
