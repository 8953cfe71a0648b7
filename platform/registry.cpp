// The registry calls over keys read from a registry file.
#include "registry.h"

#include "dospath.h"
#include "regfile.h"

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string regKeyName(HKEY root, std::string_view subKey)
{
    if (root != HKEY_LOCAL_MACHINE)
        return std::string();
    return dos::asciiLowered("HKEY_LOCAL_MACHINE\\" + std::string(subKey));
}

LONG KeyRegistry::openKeyEx(HKEY root, std::string_view subKey, std::uint32_t access, HKEY *result)
{
    *result = 0;
    RegValues values;
    if (const LONG error
        = loadKey(regKeyName(root, subKey), (access & kKeyWriteRights) != 0, &values))
        return error;
    *result = nextHandle_++;
    open_.emplace(*result, std::move(values));
    return ERROR_SUCCESS;
}

LONG KeyRegistry::queryValueEx(HKEY key, std::string_view valueName, std::uint32_t *type,
                               std::uint8_t *data, std::uint32_t *dataSize)
{
    const auto open = open_.find(key);
    if (open == open_.end())
        return ERROR_INVALID_HANDLE;
    const auto found = open->second.find(dos::asciiLowered(valueName));
    if (found == open->second.end())
        return ERROR_FILE_NOT_FOUND;
    const RegValue &value = found->second;
    *type = value.type;
    const auto size = std::uint32_t(value.data.size());
    const bool fits = *dataSize >= size;
    *dataSize = size;
    if (!fits)
        return ERROR_MORE_DATA;
    std::copy(value.data.begin(), value.data.end(), data);
    return ERROR_SUCCESS;
}

LONG KeyRegistry::closeKey(HKEY key)
{
    return open_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG FileRegistry::loadKey(const std::string &keyName, bool wantsWrite, RegValues *values)
{
    const std::filesystem::path name = file_.empty() ? registryFile(dos::currentDrives()) : file_;
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    RegKeys keys = readRegText(text.str());
    const auto key = keys.find(keyName);
    if (key == keys.end())
        return ERROR_FILE_NOT_FOUND; // no file has no keys
    if (wantsWrite && !userMayWrite(name))
        return ERROR_ACCESS_DENIED;
    *values = std::move(key->second);
    return ERROR_SUCCESS;
}

bool userMayWrite(const std::filesystem::path &file)
{
    struct stat info;
    if (::stat(file.c_str(), &info) != 0)
        return false;
    // The effective user's rights, as an open would check them (read-only mounts included).
    if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    if (::geteuid() == 0)
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return true;
}

std::filesystem::path registryFile(const dos::Drives &drives)
{
    return *dos::toNative("c:\\windows\\tavelio.reg", drives);
}

Registry &systemRegistry()
{
    static FileRegistry registry;
    return registry;
}

} // namespace platform
