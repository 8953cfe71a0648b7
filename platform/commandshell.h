// Starting batch files through our command shell, tavcmd.
#pragma once

#include "assistivetech.h"
#include "services.h"

#include <QString>
#include <QStringList>

namespace platform {

// The command shell program: $TAVELIO_CMD, else tavcmd beside the running program, else
// tavcmd in <prefix>/lib/tavelio.
QString commandShellPath();

// The terminal for visible consoles: $TAVELIO_TERMINAL, else x-terminal-emulator, else xterm,
// the first found on the PATH. Empty when there is none. Where that is xterm and assistive
// technology is on, the first accessible terminal found instead (see accessibleTerminal).
QString terminalPath(AssistiveTechnology &assistive = systemAssistiveTechnology());

// The terminals whose text a screen reader reads (VTE's, through AT-SPI), in the order tried.
inline constexpr const char *kAccessibleTerminals[]
    = {"mate-terminal", "gnome-terminal", "xfce4-terminal", "tilix",
       "terminator",    "lxterminal",     "sakura"};

// Whether the terminal that `resolved` names (links followed) is an xterm, which shows its
// text to no screen reader.
bool isXterm(const QString &resolved);

// The first of kAccessibleTerminals on the PATH; empty when there is none.
QString accessibleTerminal();

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
                       const QString &batchFile, WindowStyle style, QString *reason,
                       AssistiveTechnology &assistive = systemAssistiveTechnology());

} // namespace platform
