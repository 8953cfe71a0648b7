// A scratch drive C for one test, and files written there.
#pragma once

#include "drivec.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace testenv {

// Writes `content` to `path`, making its folders; executable when asked. The path, or ""
// when it could not be written.
inline QString writeFile(const QString &path, const QByteArray &content = "x",
                         bool executable = false)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) < 0)
        return QString();
    file.close();
    if (executable)
        file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup
                            | QFile::ExeOther);
    return path;
}

// A temporary drive C whose tool folder is the working folder, as when the program runs. It is
// the current drive C (through $TAVELIO_DRIVE_C) while it lives.
class Drive
{
public:
    Drive()
    {
        previous_ = qgetenv("TAVELIO_DRIVE_C");
        previousState_ = qgetenv("XDG_STATE_HOME");
        drives.driveC = root.path().toStdString();
        drives.workingFolder = dos::toolFolder(drives.driveC);
        QDir().mkpath(working());
        qputenv("TAVELIO_DRIVE_C", root.path().toLocal8Bit());
        // The command shell logs failures there: never in the user's own state folder.
        qputenv("XDG_STATE_HOME", (root.path() + QStringLiteral("/state")).toLocal8Bit());
    }
    ~Drive()
    {
        restore("TAVELIO_DRIVE_C", previous_);
        restore("XDG_STATE_HOME", previousState_);
    }
    Drive(const Drive &) = delete;
    Drive &operator=(const Drive &) = delete;

    QString working() const { return QString::fromStdString(drives.workingFolder.string()); }
    // A file in the working folder, and one below drive C.
    QString path(const QString &name) const { return working() + QLatin1Char('/') + name; }
    QString onDriveC(const QString &relative) const { return root.filePath(relative); }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // A program below drive C that does nothing.
    QString program(const QString &relative) const
    {
        return writeFile(onDriveC(relative), "#!/bin/sh\nexit 0\n", true);
    }

    QTemporaryDir root;
    dos::Drives drives;

private:
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QByteArray previous_;
    QByteArray previousState_;
};

inline QByteArray batchBytes(const char *commandLine)
{
    return QByteArray("@echo \r\ncls\r\n") + commandLine + "\r\n";
}

} // namespace testenv
