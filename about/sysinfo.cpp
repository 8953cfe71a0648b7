// The About box's registry lookups and the start of the system-information program.
#include "form1.h"

#include "dospath.h"

#include <QFile>
#include <filesystem>
#include <unistd.h>

namespace about {

namespace {

using namespace platform;

const QString kSysInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kSysInfoValue = QStringLiteral("PATH");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kLocationValue = QStringLiteral("MSINFO");
const QString kProgramFile = QStringLiteral("\\MSINFO32.EXE");
const QString kUnavailable
    = QStringLiteral("La información del sistema no está disponible en este momento");

// The keys are opened with the About box's designed access, which holds write rights too: a key
// the user may only read fails to open, and the lookup moves on as for a key that is not there.
constexpr std::uint32_t kKeyAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY
    | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | KEY_CREATE_LINK | READ_CONTROL;
static_assert(kKeyAccess == 0x2003F);

constexpr int kValueBufferSize = 1024;

// Closes an open key on every way out of GetKeyValue, the raised error included.
class OpenKey
{
public:
    OpenKey(Registry &registry, HKEY key)
        : registry_(registry)
        , key_(key)
    {
    }
    ~OpenKey() { registry_.closeKey(key_); }
    OpenKey(const OpenKey &) = delete;
    OpenKey &operator=(const OpenKey &) = delete;

private:
    Registry &registry_;
    HKEY key_;
};

std::optional<std::filesystem::path> nativePath(const QString &dosPath)
{
    return dos::toNative(dosPath.toLocal8Bit().toStdString(), dos::currentDrives());
}

// Whether an ordinary file of that DOS name exists. A failing test raises, and reaches
// StartSysInfo as any other error.
bool ordinaryFileExists(const QString &dosPath)
{
    const std::optional<std::filesystem::path> file = nativePath(dosPath);
    return file && std::filesystem::is_regular_file(*file);
}

// A REG_DWORD as a signed decimal number. The program itself reads only text values, so any
// rendering of the number serves.
QString dwordText(const QByteArray &data)
{
    const auto byte = [&](int i) { return std::uint32_t(std::uint8_t(data[i])); };
    const std::uint32_t number = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
    return QString::number(std::int32_t(number));
}

} // namespace

void Form1::StartSysInfo()
{
    try {
        QString sysInfoPath;
        bool found = GetKeyValue(HKEY_LOCAL_MACHINE, kSysInfoKey, kSysInfoValue, sysInfoPath);
        // The first value is trusted as it is; only the folder of the second is checked.
        if (!found && GetKeyValue(HKEY_LOCAL_MACHINE, kLocationKey, kLocationValue, sysInfoPath)
            && ordinaryFileExists(sysInfoPath + kProgramFile)) {
            sysInfoPath += kProgramFile;
            found = true;
        }
        if (found && startProgram(sysInfoPath))
            return;
    } catch (const std::exception &) {
        // The registry read or the file test failed: the same message as everything else.
    }
    messages_.show(this, kUnavailable);
}

bool Form1::GetKeyValue(HKEY KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                        QString &KeyVal)
{
    HKEY key = 0;
    if (registry_.openKeyEx(KeyRoot, KeyName.toLocal8Bit().toStdString(), kKeyAccess, &key)
        != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    OpenKey closer(registry_, key);

    QByteArray buffer(kValueBufferSize, '\0');
    std::uint32_t type = 0;
    std::uint32_t size = kValueBufferSize;
    if (registry_.queryValueEx(key, SubKeyRef.toLocal8Bit().toStdString(), &type,
                               reinterpret_cast<std::uint8_t *>(buffer.data()), &size)
        != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    // The text ends at the first zero byte; the size the read reports is not used.
    const qsizetype end = buffer.indexOf('\0');
    if (end < 0)
        throw UnterminatedValueError("registry value without a terminating zero byte");
    if (type == REG_SZ)
        KeyVal = QString::fromLocal8Bit(buffer.left(end));
    else if (type == REG_DWORD)
        KeyVal = dwordText(buffer);
    return true;
}

bool Form1::startProgram(const QString &dosPath)
{
    // The text is the program itself, unquoted and without arguments. An empty text names the
    // working folder, which is no program: the start fails.
    const std::optional<std::filesystem::path> program = nativePath(dosPath);
    std::error_code error;
    if (!program || !std::filesystem::is_regular_file(*program, error)
        || ::access(program->c_str(), X_OK) != 0)
        return false;
    QString reason;
    return starter_.startDetached(QFile::decodeName(program->c_str()), QStringList(),
                                  QFile::decodeName(dos::currentDrives().workingFolder.c_str()),
                                  &reason);
}

} // namespace about
