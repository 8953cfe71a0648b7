// Starting batch files through our command shell, tavcmd.
#pragma once

#include "services.h"

#include <QString>
#include <QStringList>

namespace platform {

// The command shell program: $TAVELIO_CMD, else tavcmd beside the running program, else
// tavcmd in <prefix>/lib/tavelio.
QString commandShellPath();

// The terminal for visible consoles: $TAVELIO_TERMINAL, else x-terminal-emulator, else xterm,
// the first found on the PATH. Empty when there is none.
QString terminalPath();

// Program and arguments that run `batchFile` from `workingFolder` with the given style:
// hidden, the shell alone; normal with focus, the shell inside a terminal window, told to keep
// it open after a failure.
struct Launch
{
    QString program;
    QStringList arguments;
};
Launch batchLaunch(const QString &batchFile, WindowStyle style, const QString &shell,
                   const QString &terminal);

// Starts `batchFile` (a bare name in the working folder) through the command shell, without
// waiting. False, with a reason, when nothing could be started.
bool startBatchFile(ProcessStarter &starter, const QString &workingFolder, const QString &batchFile,
                    WindowStyle style, QString *reason);

} // namespace platform
