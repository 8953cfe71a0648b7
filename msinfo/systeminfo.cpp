// The system's description, from QSysInfo, /proc and the screens Qt knows.
#include "systeminfo.h"

#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>
#include <QSysInfo>

namespace msinfo {

namespace {

const QString kUnknown = QStringLiteral("desconocido");

QString readProcFile(const char *name)
{
    // /proc files report a size of zero, so they are read to their end rather than by size.
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// The value of the first "key : value" line with that key, case-blind.
QString field(const QString &text, const QString &key)
{
    const QRegularExpression line(
        QStringLiteral("^%1\\s*:\\s*(.*)$").arg(QRegularExpression::escape(key)),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = line.match(text);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

// A "MemTotal:  16264392 kB" figure in KiB, or -1.
qint64 kibField(const QString &text, const QString &key)
{
    const QString value = field(text, key);
    bool ok = false;
    const qint64 kib = value.section(QLatin1Char(' '), 0, 0).toLongLong(&ok);
    return ok ? kib : -1;
}

QString screenText(const QScreen *screen)
{
    const QSize size = screen->size() * screen->devicePixelRatio();
    return QStringLiteral("%1 × %2 píxeles, %3 bits de color, %4 ppp, %5 Hz")
        .arg(size.width())
        .arg(size.height())
        .arg(screen->depth())
        .arg(qRound(screen->logicalDotsPerInch()))
        .arg(qRound(screen->refreshRate()));
}

} // namespace

QString processorText(const QString &cpuInfo, const QString &architecture)
{
    QString model = field(cpuInfo, QStringLiteral("model name"));
    for (const char *key : {"Hardware", "Processor", "cpu model", "cpu"}) {
        if (!model.isEmpty())
            break;
        model = field(cpuInfo, QString::fromLatin1(key));
    }
    if (model.isEmpty())
        model = architecture;
    const qsizetype count = cpuInfo.count(QRegularExpression(
        QStringLiteral("^processor\\s*:"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption));
    if (count > 1)
        return QStringLiteral("%1 (%2 procesadores lógicos)").arg(model).arg(count);
    return model;
}

QString sizeText(qint64 kib)
{
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    const char *units[] = {"KB", "MB", "GB", "TB"};
    double value = double(kib);
    int unit = 0;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        ++unit;
    }
    const int decimals = (unit == 0 || value >= 100.0) ? 0 : 1;
    return spanish.toString(value, 'f', decimals) + QLatin1Char(' ') + QLatin1String(units[unit]);
}

QString memoryText(const QString &memInfo)
{
    const qint64 total = kibField(memInfo, QStringLiteral("MemTotal"));
    if (total < 0)
        return QString();
    const qint64 available = kibField(memInfo, QStringLiteral("MemAvailable"));
    QString text = QStringLiteral("total: %1").arg(sizeText(total));
    if (available >= 0)
        text += QStringLiteral(", disponible: %1").arg(sizeText(available));
    return text;
}

QList<InfoItem> collectSystemInfo()
{
    QList<InfoItem> items;
    items.append({QStringLiteral("Sistema operativo"), QSysInfo::prettyProductName()});
    QString kernel = QSysInfo::kernelType(); // "linux", as uname gives it
    if (!kernel.isEmpty())
        kernel[0] = kernel[0].toUpper();
    items.append({QStringLiteral("Núcleo"), kernel + QLatin1Char(' ') + QSysInfo::kernelVersion()});
    items.append({QStringLiteral("Nombre del equipo"), QSysInfo::machineHostName()});
    items.append({QStringLiteral("Arquitectura"), QSysInfo::currentCpuArchitecture()});
    const QString processor
        = processorText(readProcFile("/proc/cpuinfo"), QSysInfo::currentCpuArchitecture());
    items.append({QStringLiteral("Procesador"), processor.isEmpty() ? kUnknown : processor});
    const QString memory = memoryText(readProcFile("/proc/meminfo"));
    items.append({QStringLiteral("Memoria física"), memory.isEmpty() ? kUnknown : memory});
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const QString name = screens.size() == 1 ? QStringLiteral("Pantalla")
                                                 : QStringLiteral("Pantalla %1").arg(i + 1);
        items.append({name, screenText(screens[i])});
    }
    if (screens.isEmpty())
        items.append({QStringLiteral("Pantalla"), QStringLiteral("ninguna")});
    items.append({QStringLiteral("Versión de Qt"),
                  QStringLiteral("%1 (compilado con %2)")
                      .arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR))});
    return items;
}

} // namespace msinfo
