// Stand-ins for the services the About box calls, and a drive C of a test's own.
#pragma once

#include "services.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

// Records every start; answers with `succeeds`.
class FakeStarter : public platform::ProcessStarter
{
public:
    struct Start
    {
        QString program;
        QStringList arguments;
        QString workingFolder;
    };
    bool startDetached(const QString &program, const QStringList &arguments,
                       const QString &workingFolder, QString *reason) override
    {
        starts.append({program, arguments, workingFolder});
        if (!succeeds)
            *reason = QStringLiteral("fallo simulado");
        return succeeds;
    }
    QList<Start> starts;
    bool succeeds = true;
};

// Records every message instead of waiting for a click.
class FakeMessages : public platform::MessageBoxes
{
public:
    void show(QWidget *parent, const QString &text) override
    {
        texts.append(text);
        parents.append(parent);
    }
    QStringList texts;
    QList<QWidget *> parents;
};

// A temporary drive C, made the current one through $TAVELIO_DRIVE_C while it lives.
class TestDriveC
{
public:
    TestDriveC()
        : previous_(qgetenv("TAVELIO_DRIVE_C"))
    {
        qputenv("TAVELIO_DRIVE_C", dir_.path().toLocal8Bit());
    }
    ~TestDriveC()
    {
        if (previous_.isNull())
            qunsetenv("TAVELIO_DRIVE_C");
        else
            qputenv("TAVELIO_DRIVE_C", previous_);
    }
    TestDriveC(const TestDriveC &) = delete;
    TestDriveC &operator=(const TestDriveC &) = delete;

    QString path(const QString &relative) const { return dir_.filePath(relative); }

    // Writes a file below drive C, making its folders; executable when asked.
    QString write(const QString &relative, const QByteArray &content, bool executable = false) const
    {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QString();
        out.write(content);
        out.close();
        QFile::Permissions mode
            = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        if (executable)
            mode |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        out.setPermissions(mode);
        return file;
    }

    QString program(const QString &relative) const
    {
        return write(relative, "#!/bin/sh\nexit 0\n", true);
    }

private:
    QByteArray previous_;
    QTemporaryDir dir_;
};
