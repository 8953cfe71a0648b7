// StartSysInfo and GetKeyValue against a registry in memory and a drive C of the test's own:
// every way to find the system-information program, and every way to fail.
#include "fakes.h"
#include "form1.h"
#include "registry.h"
#include "testenv.h"

#include <QtTest>
#include <fstream>
#include <sys/stat.h>

using namespace platform;

namespace {

const char *const kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char *const kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString kMessage
    = QStringLiteral("La información del sistema no está disponible en este momento");

// Records the access every open asks for, and passes the calls on.
class AccessSpy : public Registry
{
public:
    explicit AccessSpy(Registry &inner)
        : inner_(inner)
    {
    }
    LONG openKeyEx(HKEY key, std::string_view subKey, std::uint32_t access, HKEY *result) override
    {
        masks.push_back(access);
        return inner_.openKeyEx(key, subKey, access, result);
    }
    LONG queryValueEx(HKEY key, std::string_view name, std::uint32_t *type, std::uint8_t *data,
                      std::uint32_t *size) override
    {
        bufferSizes.push_back(*size);
        return inner_.queryValueEx(key, name, type, data, size);
    }
    LONG closeKey(HKEY key) override { return inner_.closeKey(key); }
    std::vector<std::uint32_t> masks;
    std::vector<std::uint32_t> bufferSizes;

private:
    Registry &inner_;
};

} // namespace

class TestSysInfo : public QObject
{
    Q_OBJECT

    // Fresh for every test function.
    std::unique_ptr<testenv::Drive> drive;
    std::unique_ptr<fakes::Registry> registry;
    std::unique_ptr<fakes::ProcessStarter> starter;
    std::unique_ptr<fakes::MessageBoxes> messages;
    std::unique_ptr<about::Form1> form;

    void setRaw(const std::string &key, const std::string &name, std::uint32_t type,
                const QByteArray &data)
    {
        registry->set(key, name, type, std::string_view(data.constData(), size_t(data.size())));
    }
    void setPath(const std::string &text) { registry->setText(kMsinfoKey, "PATH", text); }
    void setLocation(const std::string &folder)
    {
        registry->setText(kLocationKey, "MSINFO", folder);
    }
    // Exactly one message, the one text, over the About box; nothing started.
    void expectMessageOnly()
    {
        QCOMPARE(messages->texts, QStringList {kMessage});
        QCOMPARE(messages->parents.value(0), form.get());
        QVERIFY(starter->starts.isEmpty());
        QCOMPARE(registry->openKeyCount(), size_t(0));
    }
    void expectStarted(const QString &nativeProgram)
    {
        QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.value(0)));
        QCOMPARE(starter->starts.size(), 1);
        QCOMPARE(starter->starts[0].program, nativeProgram);
        QVERIFY(starter->starts[0].arguments.isEmpty());
        QCOMPARE(registry->openKeyCount(), size_t(0));
    }
    std::vector<std::string> bothKeys() const
    {
        return {fakes::Registry::key(kMsinfoKey), fakes::Registry::key(kLocationKey)};
    }
    std::vector<std::string> firstKeyOnly() const { return {bothKeys()[0]}; }

private slots:
    void init()
    {
        drive = std::make_unique<testenv::Drive>();
        registry = std::make_unique<fakes::Registry>();
        starter = std::make_unique<fakes::ProcessStarter>();
        messages = std::make_unique<fakes::MessageBoxes>();
        form = std::make_unique<about::Form1>(*registry, *starter, *messages);
    }
    void cleanup()
    {
        form.reset();
        drive.reset();
    }

    void neitherValuePresent()
    {
        form->StartSysInfo();
        expectMessageOnly();
        QCOMPARE(registry->openLog, bothKeys());
    }

    void firstValueStartsItsProgram()
    {
        const QString program = drive->program(QStringLiteral("windows/system32/msinfo32.exe"));
        // Any case, as DOS names go; the second lookup is not needed.
        setPath("C:\\WINDOWS\\System32\\MSINFO32.EXE");
        form->StartSysInfo();
        expectStarted(program);
        QCOMPARE(registry->openLog, firstKeyOnly());
    }

    void firstValueNamingAMissingFile()
    {
        setPath("c:\\windows\\system32\\msinfo32.exe");
        // A second lookup that would work, to show that it is not tried.
        drive->program(QStringLiteral("tools/MSINFO32.EXE"));
        setLocation("c:\\tools");
        form->StartSysInfo();
        expectMessageOnly();
        QCOMPARE(registry->openLog, firstKeyOnly());
    }

    void firstValueNamingAFileThatIsNoProgram()
    {
        testenv::writeFile(drive->onDriveC(QStringLiteral("windows/notes.txt")), "text", false);
        setPath("c:\\windows\\notes.txt");
        form->StartSysInfo();
        expectMessageOnly();
    }

    void failedStartShowsTheMessage()
    {
        drive->program(QStringLiteral("msinfo32.exe"));
        setPath("c:\\msinfo32.exe");
        starter->fail = true;
        form->StartSysInfo();
        QCOMPARE(starter->starts.size(), 1);
        QCOMPARE(messages->texts, QStringList {kMessage});
    }

    void onlySecondValueWithTheProgram()
    {
        const QString program = drive->program(QStringLiteral("Common Files/MSInfo/MSINFO32.EXE"));
        setLocation("c:\\Common Files\\MSInfo");
        form->StartSysInfo();
        expectStarted(program);
        QCOMPARE(registry->openLog, bothKeys());
    }

    void onlySecondValueFindsTheProgramInAnyCase()
    {
        const QString program = drive->program(QStringLiteral("msinfo/msinfo32.exe"));
        setLocation("c:\\MSINFO");
        form->StartSysInfo();
        expectStarted(program);
    }

    void onlySecondValueWithoutTheProgram()
    {
        drive->program(QStringLiteral("msinfo/other.exe"));
        setLocation("c:\\msinfo");
        form->StartSysInfo();
        expectMessageOnly();
    }

    void onlySecondValueWhereTheProgramIsAFolder()
    {
        QDir().mkpath(drive->onDriveC(QStringLiteral("msinfo/MSINFO32.EXE")));
        setLocation("c:\\msinfo");
        form->StartSysInfo();
        expectMessageOnly();
    }

    void readOnlyKeyCountsAsMissing()
    {
        drive->program(QStringLiteral("first/msinfo32.exe"));
        const QString second = drive->program(QStringLiteral("second/MSINFO32.EXE"));
        setPath("c:\\first\\msinfo32.exe");
        setLocation("c:\\second");
        registry->readOnly.insert(fakes::Registry::key(kMsinfoKey));
        form->StartSysInfo();
        expectStarted(second);

        starter->starts.clear();
        registry->readOnly.insert(fakes::Registry::key(kLocationKey));
        form->StartSysInfo();
        expectMessageOnly();
    }

    // The same through the registry file on drive C: readable but not writable.
    void readOnlyRegistryFile()
    {
        const QString program = drive->program(QStringLiteral("windows/system32/msinfo32.exe"));
        const QString file = testenv::writeFile(
            drive->onDriveC(QStringLiteral("windows/tavelio.reg")),
            "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\n"
            "\"PATH\"=\"c:\\\\windows\\\\system32\\\\msinfo32.exe\"\n");
        FileRegistry fileRegistry; // the current drive C's
        about::Form1 fileForm(fileRegistry, *starter, *messages);

        fileForm.StartSysInfo();
        QCOMPARE(starter->starts.size(), 1);
        QCOMPARE(starter->starts[0].program, program);

        QVERIFY(::chmod(file.toLocal8Bit().constData(), 0444) == 0);
        fileForm.StartSysInfo();
        QCOMPARE(starter->starts.size(), 1);
        QCOMPARE(messages->texts, QStringList {kMessage});
        QCOMPARE(fileRegistry.openKeyCount(), size_t(0));
    }

    void emptyTextValue()
    {
        setPath("");
        drive->program(QStringLiteral("second/MSINFO32.EXE"));
        setLocation("c:\\second");
        form->StartSysInfo();
        expectMessageOnly();
        QCOMPARE(registry->openLog, firstKeyOnly());
    }

    void valueOfAnotherType()
    {
        setRaw(kMsinfoKey, "PATH", REG_EXPAND_SZ, QByteArray("c:\\windows\\msinfo32.exe", 25));
        drive->program(QStringLiteral("windows/msinfo32.exe"));
        form->StartSysInfo();
        expectMessageOnly();
        QCOMPARE(registry->openLog, firstKeyOnly());
    }

    void fullBufferWithoutZeroByte()
    {
        setRaw(kMsinfoKey, "PATH", REG_SZ, QByteArray(1024, 'a'));
        drive->program(QStringLiteral("second/MSINFO32.EXE"));
        setLocation("c:\\second");
        form->StartSysInfo();
        // The error leaves both GetKeyValue and the lookups at once.
        expectMessageOnly();
        QCOMPARE(registry->openLog, firstKeyOnly());
    }

    void valueTooLongForTheBuffer()
    {
        // One byte more than the buffer holds: a failed read, so the second lookup is tried.
        setRaw(kMsinfoKey, "PATH", REG_SZ, QByteArray(1025, 'a'));
        const QString program = drive->program(QStringLiteral("second/MSINFO32.EXE"));
        setLocation("c:\\second");
        form->StartSysInfo();
        expectStarted(program);
    }

    void getKeyValueAsksForTheDesignedAccessAndBuffer()
    {
        setPath("x");
        AccessSpy spy(*registry);
        about::Form1 spied(spy, *starter, *messages);
        QString value;
        QVERIFY(spied.GetKeyValue(HKEY_LOCAL_MACHINE, QString::fromLatin1(kMsinfoKey),
                                  QStringLiteral("PATH"), value));
        QCOMPARE(spy.masks, std::vector<std::uint32_t> {0x2003F});
        QCOMPARE(spy.bufferSizes, std::vector<std::uint32_t> {1024});
    }

    void getKeyValueByType_data()
    {
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << quint32(REG_SZ) << QByteArray("c:\\a b\\c.exe", 13)
                              << QStringLiteral("c:\\a b\\c.exe");
        QTest::newRow("text cut at its first zero byte")
            << quint32(REG_SZ) << QByteArray("abc\0def\0", 8) << QStringLiteral("abc");
        QTest::newRow("text without zero, shorter than the buffer")
            << quint32(REG_SZ) << QByteArray("abc") << QStringLiteral("abc");
        QTest::newRow("1023 bytes and a zero")
            << quint32(REG_SZ) << (QByteArray(1023, 'z') + '\0') << QString(1023, QLatin1Char('z'));
        QTest::newRow("accented text")
            << quint32(REG_SZ) << QByteArray("Ñandú\0", 8) << QStringLiteral("Ñandú");
        QTest::newRow("dword") << quint32(REG_DWORD) << QByteArray("\x2a\0\0\0", 4)
                               << QStringLiteral("42");
        QTest::newRow("dword with a zero low byte")
            << quint32(REG_DWORD) << QByteArray("\0\x01\0\0", 4) << QStringLiteral("256");
        QTest::newRow("dword, all bits")
            << quint32(REG_DWORD) << QByteArray("\xff\xff\xff\xff", 4) << QStringLiteral("-1");
        QTest::newRow("binary keeps the caller's text")
            << quint32(REG_BINARY) << QByteArray("\x01\x02", 2) << QStringLiteral("previo");
        QTest::newRow("expandable text keeps the caller's text")
            << quint32(REG_EXPAND_SZ) << QByteArray("x\0", 2) << QStringLiteral("previo");
    }

    void getKeyValueByType()
    {
        QFETCH(quint32, type);
        QFETCH(QByteArray, data);
        QFETCH(QString, expected);
        setRaw("K", "V", type, data);
        QString value = QStringLiteral("previo");
        QVERIFY(
            form->GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("K"), QStringLiteral("V"), value));
        QCOMPARE(value, expected);
        QCOMPARE(registry->openKeyCount(), size_t(0));
    }

    void getKeyValueFailuresEmptyTheText()
    {
        registry->setText("K", "V", "x");
        registry->setText("R", "V", "x");
        registry->readOnly.insert(fakes::Registry::key("R"));
        QString value = QStringLiteral("previo");
        QVERIFY(!form->GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("Missing"),
                                   QStringLiteral("V"), value));
        QCOMPARE(value, QString());
        value = QStringLiteral("previo");
        QVERIFY(!form->GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("K"), QStringLiteral("W"),
                                   value));
        QCOMPARE(value, QString());
        value = QStringLiteral("previo");
        QVERIFY(!form->GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("R"), QStringLiteral("V"),
                                   value));
        QCOMPARE(value, QString());
        QCOMPARE(registry->openKeyCount(), size_t(0));
    }

    void getKeyValueRaisesForAFullBuffer()
    {
        setRaw("K", "V", REG_SZ, QByteArray(1024, 'a'));
        QString value = QStringLiteral("previo");
        QVERIFY_THROWS_EXCEPTION(
            about::UnterminatedValueError,
            form->GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("K"), QStringLiteral("V"), value));
        // The error leaves at once: the text is as the caller passed it; the key is closed.
        QCOMPARE(value, QStringLiteral("previo"));
        QCOMPARE(registry->openKeyCount(), size_t(0));
    }
};

QTEST_MAIN(TestSysInfo)
#include "test_sysinfo.moc"
