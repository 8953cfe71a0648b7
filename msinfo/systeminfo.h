// What the system-information program lists: one line per item, in Spanish.
#pragma once

#include <QList>
#include <QString>

namespace msinfo {

struct InfoItem
{
    QString name;
    QString value;
};

// The processor of a /proc/cpuinfo text: its model name and how many logical processors it
// shows. Machines whose kernel gives no model name (many ARM boards) are named by their
// "Hardware" or "Processor" line, else by `architecture`.
QString processorText(const QString &cpuInfo, const QString &architecture);

// "total: ..., disponible: ..." from a /proc/meminfo text; an empty text when MemTotal is
// missing.
QString memoryText(const QString &memInfo);

// A size given in KiB as the largest unit that keeps it above one: "15,6 GB", "512 MB".
QString sizeText(qint64 kib);

// Everything this machine tells: operating system, kernel, processor, memory, every screen
// and the Qt version. Needs a QGuiApplication for the screens.
QList<InfoItem> collectSystemInfo();

} // namespace msinfo
