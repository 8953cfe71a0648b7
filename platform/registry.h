// The Windows registry, as a seam.
//
// The About box finds the system-information program through two registry values, with the
// calls of advapi32: RegOpenKeyExA, RegQueryValueExA and RegCloseKey. Registry is that
// interface. Linux has no registry, so the real one is a small text file of ours on drive C,
// c:\windows\tavelio.reg, in the form of Windows' registry export files (regfile.h).
//
// The file is read afresh at every open, so an edit shows at once. Opening a key with any
// write right in the access mask fails with ERROR_ACCESS_DENIED when the user may not write
// the file: a registry the user may only read is a registry whose keys are read-only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace dos {
struct Drives;
}

namespace platform {

// Handles: the predefined root has its Windows value; open keys get small numbers.
using HKEY = std::uint32_t;
using LONG = std::int32_t;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

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
inline constexpr std::uint32_t READ_CONTROL = 0x00020000;
inline constexpr std::uint32_t KEY_READ = 0x00020019;
// The rights that change a key (with DELETE, WRITE_DAC and WRITE_OWNER); asking for any of them
// needs a writable key.
inline constexpr std::uint32_t kKeyWriteRights
    = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | 0x000D0000;

// Value types.
inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_EXPAND_SZ = 2;
inline constexpr std::uint32_t REG_BINARY = 3;
inline constexpr std::uint32_t REG_DWORD = 4;

// The registry calls of advapi32, with their meaning. Names and text data are bytes in the
// system's ANSI code page (UTF-8 here); key and value names are matched without regard to
// ASCII letter case.
class Registry
{
public:
    virtual ~Registry() = default;

    // Opens `subKey` below a predefined root. ERROR_FILE_NOT_FOUND when there is no such key,
    // ERROR_ACCESS_DENIED when `access` asks for a right the key does not grant.
    virtual LONG openKeyEx(HKEY root, std::string_view subKey, std::uint32_t access, HKEY *result)
        = 0;

    // Reads the value `valueName` ("" for the default value) of an open key: its type, and its
    // data into `data`, whose size `*dataSize` gives on entry. `*dataSize` receives the data's
    // size; when the buffer is too small the result is ERROR_MORE_DATA, the buffer untouched.
    virtual LONG queryValueEx(HKEY key, std::string_view valueName, std::uint32_t *type,
                              std::uint8_t *data, std::uint32_t *dataSize)
        = 0;

    virtual LONG closeKey(HKEY key) = 0;
};

struct RegValue
{
    std::uint32_t type = REG_BINARY;
    std::vector<std::uint8_t> data;
};
// A key's values by case-folded name.
using RegValues = std::map<std::string, RegValue>;
// Keys by case-folded full name, as regKeyName gives it.
using RegKeys = std::map<std::string, RegValues>;

// "hkey_local_machine\<subKey>", folded to lower case; "" for a root that is not predefined.
std::string regKeyName(HKEY root, std::string_view subKey);

// Open handles over keys that a subclass loads.
class KeyRegistry : public Registry
{
public:
    LONG openKeyEx(HKEY root, std::string_view subKey, std::uint32_t access, HKEY *result) override;
    LONG queryValueEx(HKEY key, std::string_view valueName, std::uint32_t *type, std::uint8_t *data,
                      std::uint32_t *dataSize) override;
    LONG closeKey(HKEY key) override;

    // Keys opened and not yet closed: a caller that forgets to close leaves them here.
    size_t openKeyCount() const { return open_.size(); }

protected:
    // The values of the key `keyName` (regKeyName's form), or ERROR_FILE_NOT_FOUND for a
    // missing key, ERROR_ACCESS_DENIED when write rights are asked of a read-only key.
    virtual LONG loadKey(const std::string &keyName, bool wantsWrite, RegValues *values) = 0;

private:
    std::map<HKEY, RegValues> open_; // as each key was when it was opened
    HKEY nextHandle_ = 1;
};

// The registry of a text file. With no file named, the one on the current drive C.
class FileRegistry : public KeyRegistry
{
public:
    FileRegistry() = default;
    explicit FileRegistry(std::filesystem::path file)
        : file_(std::move(file))
    {
    }

protected:
    LONG loadKey(const std::string &keyName, bool wantsWrite, RegValues *values) override;

private:
    std::filesystem::path file_;
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
