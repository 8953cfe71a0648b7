// The Windows services the program relies on, as seams.
//
// The program's own code speaks Windows terms: window styles, batch files, message boxes.
// These interfaces are what it calls; the real implementations (systemservices.cpp) map them
// onto Linux, and tests put fakes in their place.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>

class QWidget;

namespace platform {

// Window style of a start, as the Windows shell numbers them.
enum WindowStyle {
    vbHide = 0, // no console window
    vbNormalFocus = 1, // a console window at its normal size, with the keyboard focus
};

// A program started without waiting, as far as the program still follows it: a chained
// operation starts its second step only once its first has ended.
class StartedProgram
{
public:
    bool running() const { return m_running; }
    // Once it has ended: whether it failed (an exit status other than 0, or killed).
    bool failed() const { return m_failed; }
    // Once it has failed: its own last line of error, when it was started to say one
    // (startAnswered); empty otherwise.
    QString failure() const { return m_failure; }
    // `callback` runs once, from the event loop, when the program ends, or at once when it has
    // ended already; it replaces an earlier one, and an empty one clears it.
    void whenEnded(std::function<void()> callback)
    {
        m_callback = std::move(callback);
        if (!m_running && m_callback)
            std::exchange(m_callback, nullptr)();
    }
    // What starts the program says here that it has ended (a test, that it is to end).
    void end(bool failed = false, const QString &failure = {})
    {
        m_running = false;
        m_failed = failed;
        m_failure = failure;
        if (m_callback)
            std::exchange(m_callback, nullptr)();
    }

private:
    bool m_running = true;
    bool m_failed = false;
    QString m_failure;
    std::function<void()> m_callback;
};
using Started = std::shared_ptr<StartedProgram>;

// Starts programs without waiting for them. What is started outlives the program.
class ProcessStarter
{
public:
    virtual ~ProcessStarter() = default;
    // Starts `program` with `arguments` in `workingFolder`; with vbHide its output is
    // discarded. Null, with the system's reason, when it could not be started. Dropping what
    // comes back neither waits for the program nor stops it.
    virtual Started start(const QString &program, const QStringList &arguments,
                          const QString &workingFolder, QString *reason)
        = 0;
    // Starts a tool that asks in its console with no console at all: `answers` is written to
    // its standard input, which then ends, as if typed; what it says on standard output is
    // discarded, and the last line it writes on standard error is the started program's
    // failure() should it fail.
    virtual Started startAnswered(const QString &program, const QStringList &arguments,
                                  const QString &workingFolder, const QByteArray &answers,
                                  QString *reason)
        = 0;
    // The same, for a caller that never asks how the program ends.
    bool startDetached(const QString &program, const QStringList &arguments,
                       const QString &workingFolder, QString *reason)
    {
        return start(program, arguments, workingFolder, reason) != nullptr;
    }
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
