// The system-information program's readings of /proc texts.
#include "systeminfo.h"

#include <QtTest>

class TestSystemInfo : public QObject
{
    Q_OBJECT

private slots:
    void processorFromIntelStyleCpuInfo()
    {
        const QString cpuInfo = QStringLiteral(
            "processor\t: 0\nvendor_id\t: GenuineIntel\n"
            "model name\t: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz\n\n"
            "processor\t: 1\nmodel name\t: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz\n");
        QCOMPARE(
            msinfo::processorText(cpuInfo, QStringLiteral("x86_64")),
            QStringLiteral("Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz (2 procesadores lógicos)"));
    }

    void processorOfABoardWithoutModelName()
    {
        const QString cpuInfo = QStringLiteral("processor\t: 0\nBogoMIPS\t: 108.00\n"
                                               "CPU implementer\t: 0x41\n\nHardware\t: BCM2835\n");
        QCOMPARE(msinfo::processorText(cpuInfo, QStringLiteral("arm64")),
                 QStringLiteral("BCM2835"));
        QCOMPARE(msinfo::processorText(QString(), QStringLiteral("arm64")),
                 QStringLiteral("arm64"));
    }

    void memoryFromMemInfo()
    {
        const QString memInfo = QStringLiteral("MemTotal:       16264392 kB\nMemFree:  1000 kB\n"
                                               "MemAvailable:    524288 kB\n");
        QCOMPARE(msinfo::memoryText(memInfo), QStringLiteral("total: 15,5 GB, disponible: 512 MB"));
        QCOMPARE(msinfo::memoryText(QStringLiteral("MemTotal: 2048 kB\n")),
                 QStringLiteral("total: 2,0 MB"));
        QCOMPARE(msinfo::memoryText(QStringLiteral("nothing here")), QString());
    }

    void sizesInSpanish()
    {
        QCOMPARE(msinfo::sizeText(512), QStringLiteral("512 KB"));
        QCOMPARE(msinfo::sizeText(1536), QStringLiteral("1,5 MB"));
        QCOMPARE(msinfo::sizeText(qint64(200) * 1024 * 1024), QStringLiteral("200 GB"));
    }

    void everyItemIsListed()
    {
        const QList<msinfo::InfoItem> items = msinfo::collectSystemInfo();
        QStringList names;
        for (const msinfo::InfoItem &item : items) {
            names.append(item.name);
            QVERIFY2(!item.value.isEmpty(), qPrintable(item.name));
        }
        for (const char *wanted :
             {"Sistema operativo", "Núcleo", "Procesador", "Memoria física", "Versión de Qt"})
            QVERIFY2(names.contains(QString::fromUtf8(wanted)), wanted);
        QVERIFY(names.filter(QStringLiteral("Pantalla")).size() >= 1);
    }
};

QTEST_MAIN(TestSystemInfo)
#include "test_systeminfo.moc"
