// The built drive C as a whole: its registry file names msinfo32.exe, which is where the
// build puts it, so "Info. del sistema..." finds the program with nothing faked but the start.
#include "form1.h"
#include "registry.h"

#include <QDir>
#include <QtTest>

namespace {

class RecordingStarter : public platform::ProcessStarter
{
public:
    bool startDetached(const QString &program, const QStringList &, const QString &,
                       QString *) override
    {
        programs.append(program);
        return true;
    }
    QStringList programs;
};

class RecordingMessages : public platform::MessageBoxes
{
public:
    void show(QWidget *, const QString &text) override { texts.append(text); }
    QStringList texts;
};

} // namespace

class TestDriveCRegistry : public QObject
{
    Q_OBJECT

private slots:
    void aboutBoxFindsTheBuiltProgram()
    {
        qputenv("TAVELIO_DRIVE_C", TAVELIO_BUILD_DRIVE_C);
        platform::FileRegistry registry; // c:\windows\tavelio.reg of that drive
        RecordingStarter starter;
        RecordingMessages messages;
        about::Form1 form(registry, starter, messages);
        form.StartSysInfo();
        QCOMPARE(messages.texts, QStringList());
        QCOMPARE(starter.programs,
                 QStringList {QDir(QStringLiteral(TAVELIO_BUILD_DRIVE_C))
                                  .filePath(QStringLiteral("windows/system32/msinfo32.exe"))});
        QVERIFY(registry.problems().empty());
    }
};

QTEST_MAIN(TestDriveCRegistry)
#include "test_drivec_registry.moc"
