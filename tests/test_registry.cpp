// The registry seam: the .reg reader, the key and value calls, the read-only file.
#include "dospath.h"
#include "regfile.h"
#include "testenv.h"

#include <QtTest>
#include <sys/stat.h>

using namespace platform;

namespace {

const char *const kSample = "Windows Registry Editor Version 5.00\r\n"
                            "\r\n"
                            "; a comment line, skipped\r\n"
                            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO]\r\n"
                            "\"PATH\"=\"c:\\\\windows\\\\system32\\\\msinfo32.exe\"\r\n"
                            "\"Quoted\"=\"say \\\"hi\\\"\"\r\n"
                            "\"Count\"=dword:0000002a\r\n"
                            "@=\"default\"\r\n"
                            "\r\n"
                            "[hkey_local_machine\\Software\\Other]\r\n"
                            "\"Raw\"=hex:01,02,ff\r\n"
                            "\"Expand\"=hex(2):25,00\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                            "\"Elsewhere\"=\"x\"\r\n";

std::vector<std::uint8_t> bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

// The value as stored, or a RegValue of type 0 when it is missing.
RegValue valueOf(const RegKeys &keys, const std::string &key, const std::string &name)
{
    const auto found = keys.find(regKeyName(HKEY_LOCAL_MACHINE, key));
    if (found == keys.end() || !found->second.count(name))
        return RegValue {0, {}};
    return found->second.at(name);
}

// A value read through the calls, as GetKeyValue reads it.
std::string query(Registry &registry, const char *key, const char *name, LONG *status)
{
    HKEY handle = 0;
    *status = registry.openKeyEx(HKEY_LOCAL_MACHINE, key, KEY_READ, &handle);
    if (*status != ERROR_SUCCESS)
        return {};
    char buffer[64] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    *status = registry.queryValueEx(handle, name, &type, reinterpret_cast<std::uint8_t *>(buffer),
                                    &size);
    registry.closeKey(handle);
    return buffer;
}

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("tavelio.reg")); }

private slots:
    void readsTheExportForm()
    {
        const RegKeys keys = readRegText(kSample);
        const std::string msinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
        // Names are kept folded to lower case; text carries its zero byte.
        QCOMPARE(valueOf(keys, msinfo, "path").type, REG_SZ);
        QCOMPARE(valueOf(keys, msinfo, "path").data,
                 bytes(std::string_view("c:\\windows\\system32\\msinfo32.exe", 33)));
        QCOMPARE(valueOf(keys, msinfo, "quoted").data, bytes(std::string_view("say \"hi\"", 9)));
        QCOMPARE(valueOf(keys, msinfo, "").data, bytes(std::string_view("default", 8)));
        QCOMPARE(valueOf(keys, msinfo, "count").type, REG_DWORD);
        QCOMPARE(valueOf(keys, msinfo, "count").data, bytes(std::string_view("\x2a\0\0\0", 4)));
        QCOMPARE(valueOf(keys, "software\\other", "raw").type, REG_BINARY);
        QCOMPARE(valueOf(keys, "software\\other", "raw").data, bytes("\x01\x02\xff"));
        QCOMPARE(valueOf(keys, "software\\other", "expand").type, REG_EXPAND_SZ);
        // Only HKEY_LOCAL_MACHINE is read.
        QCOMPARE(keys.size(), size_t(2));
    }

    void badLinesAreSkipped()
    {
        for (const char *line :
             {"\"A\"=\"c:\\windows\"", "\"A\"=\"text", "\"A\"=\"text\" more", "\"A\" \"text\"",
              "\"A\"=dword:xyz", "\"A\"=dword:123456789", "\"A\"=dword:-1", "\"A\"=hex:01,zz",
              "\"A\"=hex(q):01", "\"A\"=hex;01", "\"A\"=-", "\"A\"=text", "garbage"}) {
            const RegKeys keys
                = readRegText(std::string("[HKEY_LOCAL_MACHINE\\Key]\n\"Before\"=\"1\"\n") + line
                              + "\n\"After\"=\"2\"\n");
            QVERIFY2(valueOf(keys, "key", "a").type == 0, line);
            QCOMPARE(valueOf(keys, "key", "before").data, bytes(std::string_view("1", 2)));
            QCOMPARE(valueOf(keys, "key", "after").data, bytes(std::string_view("2", 2)));
        }
        // Values under a section that cannot be read are not filed under the one before.
        const RegKeys keys
            = readRegText("[HKEY_LOCAL_MACHINE\\Good]\n[HKEY_NOWHERE\\X]\n\"A\"=\"1\"\n"
                          "[HKEY_LOCAL_MACHINE\\Unclosed\n\"B\"=\"2\"\n");
        QCOMPARE(keys.size(), size_t(1));
        QVERIFY(keys.begin()->second.empty());
    }

    void queryFollowsTheWindowsCall()
    {
        testenv::writeFile(file(), "[HKEY_LOCAL_MACHINE\\Key]\n\"Name\"=\"abcdef\"\n");
        FileRegistry registry(file().toStdString());
        HKEY key = 0;
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "KEY", KEY_READ, &key), ERROR_SUCCESS);
        std::uint32_t type = 0;
        // A buffer too small: ERROR_MORE_DATA, the needed size, the buffer untouched.
        std::uint8_t buffer[8] = {9, 9, 9, 9};
        std::uint32_t size = 4;
        QCOMPARE(registry.queryValueEx(key, "name", &type, buffer, &size), ERROR_MORE_DATA);
        QCOMPARE(size, 7u);
        QCOMPARE(buffer[0], std::uint8_t(9));
        size = sizeof buffer;
        QCOMPARE(registry.queryValueEx(key, "Name", &type, buffer, &size), ERROR_SUCCESS);
        QCOMPARE(size, 7u);
        QCOMPARE(type, REG_SZ);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buffer)), QByteArray("abcdef"));
        QCOMPARE(registry.queryValueEx(key, "Missing", &type, buffer, &size), ERROR_FILE_NOT_FOUND);
        QCOMPARE(registry.closeKey(key), ERROR_SUCCESS);
        QCOMPARE(registry.closeKey(key), ERROR_INVALID_HANDLE);
        QCOMPARE(registry.queryValueEx(key, "Name", &type, buffer, &size), ERROR_INVALID_HANDLE);
        QCOMPARE(registry.openKeyEx(0x80000001, "Key", KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    }

    void theFileIsReadAtEveryOpen()
    {
        QFile::remove(file());
        FileRegistry registry(file().toStdString());
        LONG status = 0;
        query(registry, "Key", "V", &status);
        QCOMPARE(status, ERROR_FILE_NOT_FOUND); // no file: no keys
        testenv::writeFile(file(), "[HKEY_LOCAL_MACHINE\\Key]\n\"V\"=\"one\"\n");
        QCOMPARE(query(registry, "Key", "V", &status), std::string("one"));
        testenv::writeFile(file(), "[HKEY_LOCAL_MACHINE\\Key]\n\"V\"=\"two\"\n");
        QCOMPARE(query(registry, "Key", "V", &status), std::string("two"));
        QCOMPARE(registry.openKeyCount(), size_t(0));
    }

    // Tests run as root too, and root may write any file: the read-only file must still be
    // read-only to the registry, or this edge case would pass for the wrong reason.
    void readOnlyFileRefusesWriteRights()
    {
        testenv::writeFile(file(), "[HKEY_LOCAL_MACHINE\\Key]\n\"V\"=\"x\"\n");
        const std::string name = file().toStdString();
        FileRegistry registry(name);
        HKEY key = 0;
        QVERIFY(::chmod(name.c_str(), 0644) == 0);
        QVERIFY(userMayWrite(name));
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", 0x2003F, &key), ERROR_SUCCESS);
        registry.closeKey(key);

        QVERIFY(::chmod(name.c_str(), 0444) == 0);
        QVERIFY(!userMayWrite(name));
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", 0x2003F, &key), ERROR_ACCESS_DENIED);
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", KEY_SET_VALUE, &key),
                 ERROR_ACCESS_DENIED);
        // Reading alone is allowed, and a missing key is still reported as missing.
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Key", KEY_READ, &key), ERROR_SUCCESS);
        registry.closeKey(key);
        QCOMPARE(registry.openKeyEx(HKEY_LOCAL_MACHINE, "Nope", 0x2003F, &key),
                 ERROR_FILE_NOT_FOUND);
        QVERIFY(::chmod(name.c_str(), 0644) == 0);
    }

    void theFilesOfDriveCAndOfTheBuild()
    {
        // c:\windows\tavelio.reg, found without regard to letter case as every drive C name is.
        const testenv::Drive drive;
        const QString upper
            = testenv::writeFile(drive.onDriveC(QStringLiteral("Windows/Tavelio.REG")));
        QCOMPARE(QString::fromStdString(registryFile(drive.drives).string()), upper);

        FileRegistry shipped(std::string(TAVELIO_SOURCE_DIR) + "/msinfo/tavelio.reg");
        LONG status = 0;
        QCOMPARE(query(shipped, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", &status),
                 std::string("c:\\windows\\system32\\msinfo32.exe"));
        QCOMPARE(query(shipped, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", &status),
                 std::string("c:\\windows\\system32"));
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "test_registry.moc"
