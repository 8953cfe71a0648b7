// Fakes for the platform seams, shared by the program's tests.
#pragma once

#include "opendialog.h"
#include "services.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace fakes {

struct Start
{
    QString program;
    QStringList arguments;
    QString workingFolder;
};

class ProcessStarter : public platform::ProcessStarter
{
public:
    bool startDetached(const QString &program, const QStringList &arguments,
                       const QString &workingFolder, QString *reason) override
    {
        if (fail) {
            *reason = QStringLiteral("sin recursos");
            return false;
        }
        starts.append(Start {program, arguments, workingFolder});
        return true;
    }
    QList<Start> starts;
    bool fail = false;
};

class MessageBoxes : public platform::MessageBoxes
{
public:
    void show(QWidget *, const QString &text) override
    {
        texts.append(text);
        if (onShow)
            onShow();
    }
    QStringList texts;
    std::function<void()> onShow;
};

// Answers each exec() with the next queued native path ("" for a cancel).
class OpenDialog : public app::OpenDialog
{
public:
    QString exec(QWidget *, const QString &title, const QString &filter,
                 const QString &previous) override
    {
        titles.append(title);
        filters.append(filter);
        previousNames.append(previous);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    QStringList titles;
    QStringList filters;
    QStringList previousNames;
};

} // namespace fakes
