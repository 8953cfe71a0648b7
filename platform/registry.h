// The Windows registry, as a seam.
//
// The About box finds the system-information program through two registry values, with the
// calls of advapi32: RegOpenKeyExA, RegQueryValueExA and RegCloseKey. Registry is that
// interface. Linux has no registry, so the real one is a small text file of ours on drive C,
//
//     c:\windows\tavelio.reg
//
// written in the text form of Windows' registry export files:
//
//     Windows Registry Editor Version 5.00
//     ; a comment
//     [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO]
//     "PATH"="c:\\windows\\system32\\msinfo32.exe"
//     "Count"=dword:0000002a
//     "Raw"=hex:01,02,ff
//     "Other"=hex(7):41,00,00
//     @="the key's default value"
//
// The file is read afresh at every open, so an edit shows at once. Opening a key with any
// write right in the access mask fails with ERROR_ACCESS_DENIED when the user may not write
// the file: a registry the user may only read is a registry whose keys are read-only.
//
// MemoryRegistry, an in-memory registry with read-only keys of its own choosing, stands in for
// it in tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dos {
struct Drives;
}

namespace platform {

// Handles: the predefined roots have their Windows values; open keys get small numbers.
using HKEY = std::uint32_t;
using LONG = std::int32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;

// Results, with the values of winerror.h.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_MORE_DATA = 234;

// Access rights of a key.
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
inline constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr std::uint32_t KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr std::uint32_t KEY_NOTIFY = 0x0010;
inline constexpr std::uint32_t KEY_CREATE_LINK = 0x0020;
inline constexpr std::uint32_t DELETE_ACCESS = 0x00010000; // DELETE in winnt.h
inline constexpr std::uint32_t READ_CONTROL = 0x00020000;
inline constexpr std::uint32_t WRITE_DAC = 0x00040000;
inline constexpr std::uint32_t WRITE_OWNER = 0x00080000;
inline constexpr std::uint32_t KEY_READ = 0x00020019;

// The rights that change a key; asking for any of them needs a writable key.
inline constexpr std::uint32_t kKeyWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY
    | KEY_CREATE_LINK | DELETE_ACCESS | WRITE_DAC | WRITE_OWNER;

// Value types.
inline constexpr std::uint32_t REG_NONE = 0;
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t REG_MULTI_SZ = 7;

// The registry calls of advapi32, with their meaning. Names and text data are bytes in the
// system's ANSI code page (UTF-8 here); key and value names are matched without regard to
// ASCII letter case.
class Registry
{
public:
    virtual ~Registry() = default;

    // Opens `subKey` below `key` (a predefined root or an open key; "" opens `key` itself).
    // ERROR_FILE_NOT_FOUND when there is no such key, ERROR_ACCESS_DENIED when `access` asks
    // for a right the key does not grant.
    virtual LONG openKeyEx(HKEY key, std::string_view subKey, std::uint32_t access, HKEY *result)
        = 0;

    // Reads the value `valueName` ("" for the default value) of an open key. `type` receives
    // its type when not null. With `data` null, `*dataSize` receives the size it needs;
    // otherwise `*dataSize` is the buffer's size on entry and the data's size on return, and
    // when the buffer is too small the result is ERROR_MORE_DATA, the buffer untouched.
    virtual LONG queryValueEx(HKEY key, std::string_view valueName, std::uint32_t *type,
                              std::uint8_t *data, std::uint32_t *dataSize)
        = 0;

    virtual LONG closeKey(HKEY key) = 0;
};

// One value: its name as written, its type and its data bytes.
struct RegValue
{
    std::string name;
    std::uint32_t type = REG_NONE;
    std::vector<std::uint8_t> data;
};

// Keys and their values; what a registry file holds.
class RegistryHive
{
public:
    // Makes the key (and, implicitly, every key above it).
    void addKey(HKEY root, std::string_view path);
    // Sets a value, making its key; a value of the same name is replaced.
    void setValue(HKEY root, std::string_view path, RegValue value);
    // True for a key that was added, or that lies above one.
    bool hasKey(HKEY root, std::string_view path) const;
    // The value, or null when the key or the value is missing.
    const RegValue *value(HKEY root, std::string_view path, std::string_view name) const;
    size_t keyCount() const { return keys_.size(); }

private:
    using Values = std::map<std::string, RegValue>; // by case-folded name
    std::map<std::pair<HKEY, std::string>, Values> keys_; // by root and case-folded path
};

// Helpers for building values.
RegValue stringValue(std::string name, std::string_view text); // REG_SZ with its zero byte
RegValue dwordValue(std::string name, std::uint32_t number); // REG_DWORD, little-endian

// The predefined root a name stands for: "HKEY_LOCAL_MACHINE" or "HKLM", and so on.
std::optional<HKEY> rootFromName(std::string_view name);
// The full name of a predefined root; "" for any other handle.
std::string rootName(HKEY root);

// A registry file's text, read. A line that cannot be read is skipped and reported, so one
// typing mistake costs one value and not the whole file.
struct RegParseResult
{
    RegistryHive hive;
    std::vector<std::string> problems; // "línea N: ..." for each line skipped
};
RegParseResult parseRegText(std::string_view text);

// Keys, values and open handles; subclasses say where a key's values come from.
class HiveRegistry : public Registry
{
public:
    LONG openKeyEx(HKEY key, std::string_view subKey, std::uint32_t access, HKEY *result) override;
    LONG queryValueEx(HKEY key, std::string_view valueName, std::uint32_t *type, std::uint8_t *data,
                      std::uint32_t *dataSize) override;
    LONG closeKey(HKEY key) override;

    // Keys opened and not yet closed: a caller that forgets to close leaves them here.
    size_t openKeyCount() const { return open_.size(); }

protected:
    // The hive that holds the key, or an error code: ERROR_FILE_NOT_FOUND for a missing key,
    // ERROR_ACCESS_DENIED when write rights are asked of a read-only key.
    virtual LONG loadKey(HKEY root, const std::string &path, bool wantsWrite, RegistryHive *hive)
        = 0;

private:
    struct OpenKey
    {
        HKEY root;
        std::string path;
        RegistryHive hive; // as it was when the key was opened
    };
    std::map<HKEY, OpenKey> open_;
    HKEY nextHandle_ = 1;
};

// The registry of a text file. With no file named, the one on the current drive C.
class FileRegistry : public HiveRegistry
{
public:
    FileRegistry() = default;
    explicit FileRegistry(std::filesystem::path file)
        : file_(std::move(file))
    {
    }

    std::filesystem::path file() const;
    // The lines skipped at the last read.
    const std::vector<std::string> &problems() const { return problems_; }

protected:
    LONG loadKey(HKEY root, const std::string &path, bool wantsWrite, RegistryHive *hive) override;

private:
    std::filesystem::path file_;
    std::vector<std::string> problems_;
};

// An in-memory registry for tests: keys may be marked read-only, and every open is logged.
class MemoryRegistry : public HiveRegistry
{
public:
    RegistryHive &hive() { return hive_; }
    void setReadOnly(HKEY root, std::string_view path);
    // "HKEY_LOCAL_MACHINE\<path>" of every open asked for, in order, successful or not.
    const std::vector<std::string> &openLog() const { return openLog_; }

protected:
    LONG loadKey(HKEY root, const std::string &path, bool wantsWrite, RegistryHive *hive) override;

private:
    RegistryHive hive_;
    std::set<std::pair<HKEY, std::string>> readOnly_;
    std::vector<std::string> openLog_;
};

// True when this user may write `file`. The superuser passes every permission check, so for
// it a file that grants write to nobody counts as read-only: that is how a registry file is
// made read-only on purpose, and the superuser should see the same registry as everyone else.
bool userMayWrite(const std::filesystem::path &file);

// Where a drive's registry file is: c:\windows\tavelio.reg.
std::filesystem::path registryFile(const dos::Drives &drives);

// The registry of this process: the file on the current drive C.
Registry &systemRegistry();

} // namespace platform
