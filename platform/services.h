// The Windows services the program relies on, as seams.
//
// The program's own code speaks Windows terms: window styles, batch files, message boxes.
// These interfaces are what it calls; the real implementations (systemservices.cpp) map them
// onto Linux, and tests put fakes in their place.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

// Window style of a start, as the Windows shell numbers them.
enum WindowStyle {
    vbHide = 0, // no console window
    vbNormalFocus = 1, // a console window at its normal size, with the keyboard focus
};

// Starts programs without waiting for them. What is started outlives the program.
class ProcessStarter
{
public:
    virtual ~ProcessStarter() = default;
    // Starts `program` with `arguments` in `workingFolder`; with vbHide its output is
    // discarded. False, with the system's reason, when it could not be started.
    virtual bool startDetached(const QString &program, const QStringList &arguments,
                               const QString &workingFolder, QString *reason)
        = 0;
};

// Modal message boxes: one OK button, no icon, the application title "Nerbo1".
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void show(QWidget *parent, const QString &text) = 0;
};

// The real services of this machine.
ProcessStarter &systemProcessStarter();
MessageBoxes &systemMessageBoxes();

// The application title: names the settings and titles every message box.
inline const QString kAppTitle = QStringLiteral("Nerbo1");

} // namespace platform
