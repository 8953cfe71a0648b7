// The bytes of a batch file, without the runner that writes and starts it: the importer writes
// the same three lines.
#pragma once

#include <QByteArray>
#include <QString>

namespace app {

// The bytes of a batch file: "@echo ", "cls" and the command line, each ended by CR LF, as
// single-byte text. False when the line holds a character that single-byte text cannot carry.
bool batchFileBytes(const QString &commandLine, QByteArray *bytes);

} // namespace app
