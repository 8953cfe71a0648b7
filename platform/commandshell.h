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

struct Launch
{
    QString program;
    QStringList arguments;
};

// Program and arguments that open the terminal `terminal` running `command`. `resolved` is
// the file its name leads to once links are followed (x-terminal-emulator leads through
// /etc/alternatives to xterm, GNOME's, KDE's or another desktop's terminal): that file's name
// says which option introduces the command.
Launch terminalLaunch(const QString &terminal, const QString &resolved, const QStringList &command);

// Program and arguments that run `batchFile` with the given style: hidden, the shell alone;
// normal with focus, the shell inside the terminal, told to keep it open after a failure.
// `resolvedTerminal` is as for terminalLaunch.
Launch batchLaunch(const QString &batchFile, WindowStyle style, const QString &shell,
                   const QString &terminal, const QString &resolvedTerminal);

// Starts `batchFile` (a bare name in the working folder) through the command shell, without
// waiting. Hidden, what comes back ends when the batch file's last program has ended, and has
// failed when that program failed. Null, with a reason, when nothing could be started.
Started startBatchFile(ProcessStarter &starter, const QString &workingFolder,
                       const QString &batchFile, WindowStyle style, QString *reason);

} // namespace platform
