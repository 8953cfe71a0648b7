// A scratch drive C and working folder for one test, plus the built command shell.
#pragma once

#include "dospath.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace testenv {

// A temporary drive C whose tool folder is the working folder, as when the program runs.
struct Drive
{
    QTemporaryDir root;
    dos::Drives drives;

    Drive()
    {
        QDir(root.path()).mkpath(QStringLiteral("qor/ejecutable/auxiliares"));
        drives.driveC = root.path().toStdString();
        drives.workingFolder
            = (root.path() + QStringLiteral("/qor/ejecutable/auxiliares")).toStdString();
        qputenv("TAVELIO_DRIVE_C", root.path().toLocal8Bit());
        // The command shell logs failures there: never in the user's own state folder.
        qputenv("XDG_STATE_HOME", (root.path() + QStringLiteral("/state")).toLocal8Bit());
    }
    QString working() const { return QString::fromStdString(drives.workingFolder.string()); }
    QString path(const QString &name) const { return working() + QLatin1Char('/') + name; }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

inline QByteArray batchBytes(const char *commandLine)
{
    return QByteArray("@echo \r\ncls\r\n") + commandLine + "\r\n";
}

} // namespace testenv
