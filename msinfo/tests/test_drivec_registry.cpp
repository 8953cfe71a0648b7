// The built drive C as a whole: its registry file names msinfo32.exe, which is where the
// build puts it, so "Info. del sistema..." finds the program with nothing faked but the start.
#include "fakes.h"
#include "form1.h"

#include <QDir>
#include <QtTest>

class TestDriveCRegistry : public QObject
{
    Q_OBJECT

private slots:
    void aboutBoxFindsTheBuiltProgram()
    {
        qputenv("TAVELIO_DRIVE_C", TAVELIO_BUILD_DRIVE_C);
        platform::FileRegistry registry; // c:\windows\tavelio.reg of that drive
        fakes::ProcessStarter starter;
        fakes::MessageBoxes messages;
        about::Form1 form(registry, starter, messages);
        form.StartSysInfo();
        QCOMPARE(messages.texts, QStringList());
        QCOMPARE(starter.starts.size(), 1);
        QCOMPARE(starter.starts[0].program,
                 QDir(QStringLiteral(TAVELIO_BUILD_DRIVE_C))
                     .filePath(QStringLiteral("windows/system32/msinfo32.exe")));
    }
};

QTEST_MAIN(TestDriveCRegistry)
#include "test_drivec_registry.moc"
