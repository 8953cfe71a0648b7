// The registry seam: the .reg text parser, the key and value calls, the read-only file.
#include "dospath.h"
#include "registry.h"

#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <sys/stat.h>

using namespace platform;

namespace {

// The value's data as text, without its terminating zero byte.
QByteArray textOf(const RegValue *value)
{
    if (!value || value->data.empty())
        return QByteArray();
    QByteArray bytes(reinterpret_cast<const char *>(value->data.data()),
                     qsizetype(value->data.size()));
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    return bytes;
}

void writeFile(const std::string &file, const std::string &text)
{
    std::ofstream(file, std::ios::binary) << text;
}

const char *const kSample = "Windows Registry Editor Version 5.00\r\n"
                            "\r\n"
                            "; a comment line, skipped\r\n"
                            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                            "\"PATH\"=\"c:\\\\windows\\\\system32\\\\msinfo32.exe\"\r\n"
                            "\"Quoted\"=\"say \\\"hi\\\"\"\r\n"
                            "\"Count\"=dword:0000002a\r\n"
                            "@=\"default\"\r\n"
                            "\r\n"
                            "[HKLM\\Software\\Other]\r\n"
                            "\"Raw\"=hex:01,02,ff\r\n"
                            "\"Multi\"=hex(7):41,00,\\\r\n"
                            "  42,00,00\r\n";

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void parsesSectionsEscapesAndTypes()
    {
        const RegParseResult parsed = parseRegText(kSample);
        QVERIFY2(parsed.problems.empty(),
                 parsed.problems.empty() ? "" : parsed.problems[0].c_str());
        const RegistryHive &hive = parsed.hive;
        const char *key = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
        QCOMPARE(textOf(hive.value(HKEY_LOCAL_MACHINE, key, "PATH")),
                 QByteArray("c:\\windows\\system32\\msinfo32.exe"));
        QCOMPARE(hive.value(HKEY_LOCAL_MACHINE, key, "PATH")->type, REG_SZ);
        QCOMPARE(hive.value(HKEY_LOCAL_MACHINE, key, "PATH")->data.back(), std::uint8_t(0));
        QCOMPARE(textOf(hive.value(HKEY_LOCAL_MACHINE, key, "Quoted")), QByteArray("say \"hi\""));
        QCOMPARE(textOf(hive.value(HKEY_LOCAL_MACHINE, key, "")), QByteArray("default"));

        const RegValue *count = hive.value(HKEY_LOCAL_MACHINE, key, "count");
        QVERIFY(count);
        QCOMPARE(count->type, REG_DWORD);
        QCOMPARE(count->data, (std::vector<std::uint8_t> {0x2a, 0, 0, 0}));

        // The short root name, and names in another case, reach the same key.
        const RegValue *raw = hive.value(HKEY_LOCAL_MACHINE, "software\\other", "RAW");
        QVERIFY(raw);
        QCOMPARE(raw->type, REG_BINARY);
        QCOMPARE(raw->data, (std::vector<std::uint8_t> {1, 2, 0xff}));
        // hex(7) data continued over two lines.
        const RegValue *multi = hive.value(HKEY_LOCAL_MACHINE, "SOFTWARE\\Other", "Multi");
        QVERIFY(multi);
        QCOMPARE(multi->type, REG_MULTI_SZ);
        QCOMPARE(multi->data, (std::vector<std::uint8_t> {0x41, 0, 0x42, 0, 0}));
    }

    void keysAboveASectionExist()
    {
        const RegistryHive hive = parseRegText(kSample).hive;
        QVERIFY(hive.hasKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft"));
        QVERIFY(hive.hasKey(HKEY_LOCAL_MACHINE, "software\\microsoft\\shared tools"));
        QVERIFY(!hive.hasKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Micro"));
        // "Shared Tools" is a key; "Shared Tools Location" is not made by it.
        QVERIFY(!hive.hasKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location"));
        QVERIFY(!hive.hasKey(HKEY_CURRENT_USER, "SOFTWARE"));
    }

    void badLinesAreSkippedAndReported_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("unknown escape") << "\"A\"=\"c:\\windows\"";
        QTest::newRow("missing closing quote") << "\"A\"=\"text";
        QTest::newRow("text after the quote") << "\"A\"=\"text\" more";
        QTest::newRow("no equals sign") << "\"A\" \"text\"";
        QTest::newRow("bad dword") << "\"A\"=dword:xyz";
        QTest::newRow("dword of nine digits") << "\"A\"=dword:123456789";
        QTest::newRow("bad hex byte") << "\"A\"=hex:01,zz";
        QTest::newRow("bad hex type") << "\"A\"=hex(q):01";
        QTest::newRow("value deletion") << "\"A\"=-";
        QTest::newRow("unknown data") << "\"A\"=text";
        QTest::newRow("bare word") << "garbage";
        QTest::newRow("unknown root") << "[HKEY_NOWHERE\\Key]";
        QTest::newRow("unclosed section") << "[HKEY_LOCAL_MACHINE\\Key";
        QTest::newRow("key deletion") << "[-HKEY_LOCAL_MACHINE\\Key]";
    }

    void badLinesAreSkippedAndReported()
    {
        QFETCH(QString, line);
        const std::string text = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Key]\n\"Before\"=\"1\"\n"
            + line.toStdString() + "\n[HKEY_LOCAL_MACHINE\\Key]\n\"After\"=\"2\"\n";
        const RegParseResult parsed = parseRegText(text);
        QCOMPARE(parsed.problems.size(), size_t(1));
        QVERIFY2(parsed.problems[0].rfind("línea 4: ", 0) == 0, parsed.problems[0].c_str());
        // The lines around it still count.
        QCOMPARE(textOf(parsed.hive.value(HKEY_LOCAL_MACHINE, "Key", "Before")), QByteArray("1"));
        QCOMPARE(textOf(parsed.hive.value(HKEY_LOCAL_MACHINE, "Key", "After")), QByteArray("2"));
        QVERIFY(!parsed.hive.value(HKEY_LOCAL_MACHINE, "Key", "A"));
    }

    void valuesAfterABadSectionAreNotFiledElsewhere()
    {
        const RegParseResult parsed = parseRegText("[HKLM\\Good]\n[HKEY_NOWHERE\\X]\n\"A\"=\"1\"\n"
                                                   "\"B\"=\"2\"\n");
        // The bad section, then each of its two values.
        QCOMPARE(parsed.problems.size(), size_t(3));
        QVERIFY(!parsed.hive.value(HKEY_LOCAL_MACHINE, "Good", "A"));
        QVERIFY(parsed.problems[1].find("fuera de una clave") != std::string::npos);
    }

    void byteOrderMarkAndLastDuplicate()
    {
        const RegParseResult parsed
            = parseRegText("\xEF\xBB\xBFREGEDIT4\n[HKLM\\K]\n\"A\"=\"old\"\n\"a\"=\"new\"\n");
        QVERIFY(parsed.problems.empty());
        QCOMPARE(textOf(parsed.hive.value(HKEY_LOCAL_MACHINE, "K", "A")), QByteArray("new"));
    }

    void queryFollowsTheWindowsCall()
    {
        MemoryRegistry registry;
        registry.hive().setValue(HKEY_LOCAL_MACHINE, "Key", stringValue("Name", "abcdef"));
        HKEY key = 0;
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "KEY", KEY_READ, &key), ERROR_SUCCESS);
        QVERIFY(key != 0);

        std::uint32_t type = 0;
        std::uint32_t size = 0;
        // The size alone.
        QCOMPARE(registry.queryValueEx(key, "name", &type, nullptr, &size), ERROR_SUCCESS);
        QCOMPARE(size, 7u);
        QCOMPARE(type, REG_SZ);
        // A buffer too small: ERROR_MORE_DATA, the needed size, the buffer untouched.
        std::uint8_t small[4] = {9, 9, 9, 9};
        size = sizeof small;
        QCOMPARE(registry.queryValueEx(key, "Name", &type, small, &size), ERROR_MORE_DATA);
        QCOMPARE(size, 7u);
        QCOMPARE(small[0], std::uint8_t(9));
        // Enough room.
        std::uint8_t buffer[16] = {};
        size = sizeof buffer;
        QCOMPARE(registry.queryValueEx(key, "Name", &type, buffer, &size), ERROR_SUCCESS);
        QCOMPARE(size, 7u);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buffer)), QByteArray("abcdef"));

        QCOMPARE(registry.queryValueEx(key, "Missing", &type, buffer, &size), ERROR_FILE_NOT_FOUND);
        QCOMPARE(registry.closeKey(key), ERROR_SUCCESS);
        QCOMPARE(registry.closeKey(key), ERROR_INVALID_HANDLE);
        QCOMPARE(registry.queryValueEx(key, "Name", &type, buffer, &size), ERROR_INVALID_HANDLE);
        QCOMPARE(registry.openKeyCount(), size_t(0));
    }

    void openRelativeToAnOpenKey()
    {
        MemoryRegistry registry;
        registry.hive().setValue(HKEY_LOCAL_MACHINE, "A\\B", dwordValue("N", 7));
        HKEY a = 0;
        HKEY b = 0;
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "A", KEY_READ, &a), ERROR_SUCCESS);
        QCOMPARE(registry.openKeyEx(a, "B", KEY_READ, &b), ERROR_SUCCESS);
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        QCOMPARE(registry.queryValueEx(b, "N", &type, nullptr, &size), ERROR_SUCCESS);
        QCOMPARE(type, REG_DWORD);
        QCOMPARE(registry.openKeyEx(a, "C", KEY_READ, &b), ERROR_FILE_NOT_FOUND);
        QCOMPARE(b, HKEY(0));
        QCOMPARE(registry.openKeyEx(12345, "B", KEY_READ, &b), ERROR_INVALID_HANDLE);
    }

    void readOnlyMemoryKeyRefusesWriteRights()
    {
        MemoryRegistry registry;
        registry.hive().addKey(HKEY_LOCAL_MACHINE, "Key");
        registry.setReadOnly(HKEY_LOCAL_MACHINE, "key");
        HKEY key = 0;
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", 0x2003F, &key), ERROR_ACCESS_DENIED);
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", KEY_READ, &key), ERROR_SUCCESS);
        registry.closeKey(key);
    }

    void fileRegistryReadsTheFileAtEveryOpen()
    {
        QTemporaryDir dir;
        const std::string file = dir.filePath(QStringLiteral("tavelio.reg")).toStdString();
        FileRegistry registry(file);
        HKEY key = 0;
        // No file: no keys.
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", KEY_READ, &key),
                 ERROR_FILE_NOT_FOUND);

        writeFile(file, "REGEDIT4\n[HKLM\\Key]\n\"V\"=\"one\"\nnonsense\n");
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", KEY_READ, &key), ERROR_SUCCESS);
        QCOMPARE(registry.problems().size(), size_t(1));
        writeFile(file, "REGEDIT4\n[HKLM\\Key]\n\"V\"=\"two\"\n");
        // The open key keeps what it read; a new open sees the edit.
        char buffer[8] = {};
        std::uint32_t size = sizeof buffer;
        QCOMPARE(registry.queryValueEx(key, "V", nullptr, reinterpret_cast<std::uint8_t *>(buffer),
                                       &size),
                 ERROR_SUCCESS);
        QCOMPARE(QByteArray(buffer), QByteArray("one"));
        registry.closeKey(key);
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", KEY_READ, &key), ERROR_SUCCESS);
        size = sizeof buffer;
        QCOMPARE(registry.queryValueEx(key, "V", nullptr, reinterpret_cast<std::uint8_t *>(buffer),
                                       &size),
                 ERROR_SUCCESS);
        QCOMPARE(QByteArray(buffer), QByteArray("two"));
        QVERIFY(registry.problems().empty());
        registry.closeKey(key);
    }

    // Tests run as root too, and root may write any file: the read-only file must still be
    // read-only to the registry, or this edge case would pass for the wrong reason.
    void readOnlyFileRefusesWriteRights()
    {
        QTemporaryDir dir;
        const std::string file = dir.filePath(QStringLiteral("tavelio.reg")).toStdString();
        writeFile(file, "REGEDIT4\n[HKLM\\Key]\n\"V\"=\"x\"\n");
        FileRegistry registry(file);
        HKEY key = 0;

        QVERIFY(::chmod(file.c_str(), 0644) == 0);
        QVERIFY(userMayWrite(file));
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", 0x2003F, &key), ERROR_SUCCESS);
        registry.closeKey(key);

        QVERIFY(::chmod(file.c_str(), 0444) == 0);
        QVERIFY(!userMayWrite(file));
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", 0x2003F, &key), ERROR_ACCESS_DENIED);
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", KEY_SET_VALUE, &key),
                 ERROR_ACCESS_DENIED);
        // Reading alone is allowed, and a missing key is still reported as missing.
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", KEY_READ, &key), ERROR_SUCCESS);
        registry.closeKey(key);
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Nope", 0x2003F, &key),
                 ERROR_FILE_NOT_FOUND);
        QCOMPARE(registry.openKeyCount(), size_t(0));
    }

    void registryFileIsOnDriveC()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("Windows"));
        writeFile(dir.filePath(QStringLiteral("Windows/Tavelio.REG")).toStdString(), "");
        const dos::Drives drives {dir.path().toStdString(), dir.path().toStdString()};
        // Found without regard to letter case, as every drive C name is.
        QCOMPARE(QString::fromStdString(registryFile(drives).string()),
                 dir.filePath(QStringLiteral("Windows/Tavelio.REG")));
    }

    void shippedRegistryNamesTheProgram()
    {
        FileRegistry registry(std::string(TAVELIO_SOURCE_DIR) + "/msinfo/tavelio.reg");
        HKEY key = 0;
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                                    KEY_READ, &key),
                 ERROR_SUCCESS);
        QVERIFY(registry.problems().empty());
        char buffer[64] = {};
        std::uint32_t size = sizeof buffer;
        std::uint32_t type = 0;
        QCOMPARE(registry.queryValueEx(key, "PATH", &type, reinterpret_cast<std::uint8_t *>(buffer),
                                       &size),
                 ERROR_SUCCESS);
        QCOMPARE(type, REG_SZ);
        QCOMPARE(QByteArray(buffer), QByteArray("c:\\windows\\system32\\msinfo32.exe"));
        registry.closeKey(key);
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "test_registry.moc"
