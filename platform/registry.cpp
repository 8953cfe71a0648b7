// The registry of a text file in the form of Windows' registry export files.
#include "registry.h"

#include "dospath.h"

#include <cassert>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

struct RootName
{
    HKEY root;
    const char *full;
    const char *shortName;
};

constexpr RootName kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
    {HKEY_USERS, "HKEY_USERS", "HKU"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG", "HKCC"},
};

bool isRoot(HKEY key)
{
    for (const RootName &r : kRoots)
        if (r.root == key)
            return true;
    return false;
}

// Windows matches key and value names without regard to case.
std::string folded(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return result;
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size()
        && dos::equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A hexadecimal number of 1 to `maxDigits` digits, the whole of `text`.
std::optional<std::uint32_t> hexNumber(std::string_view text, size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    std::uint32_t number = 0;
    for (char c : text) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        number = number * 16 + std::uint32_t(digit);
    }
    return number;
}

// The lines of a registry file, read one at a time. Raises nothing: a line it cannot read is
// recorded in `problems` and skipped.
class RegParser
{
public:
    explicit RegParser(RegParseResult *result)
        : result_(result)
    {
    }

    void line(int number, std::string_view text)
    {
        number_ = number;
        text = trimmed(text);
        if (text.empty() || text.front() == ';')
            return;
        if (text.front() == '[')
            section(text);
        else
            valueLine(text);
    }

private:
    void problem(const std::string &what)
    {
        result_->problems.push_back("línea " + std::to_string(number_) + ": " + what);
    }

    void section(std::string_view text)
    {
        inSection_ = false;
        if (text.back() != ']')
            return problem("falta el corchete de cierre");
        std::string_view name = text.substr(1, text.size() - 2);
        if (!name.empty() && name.front() == '-')
            return problem("no se admite borrar claves");
        const size_t slash = name.find('\\');
        const std::optional<HKEY> root = rootFromName(name.substr(0, slash));
        if (!root)
            return problem("raíz desconocida");
        std::string_view path = slash == std::string_view::npos ? "" : name.substr(slash + 1);
        if (!path.empty() && path.back() == '\\')
            path.remove_suffix(1);
        if (path.find("\\\\") != std::string_view::npos || (!path.empty() && path.front() == '\\'))
            return problem("nombre de clave vacío");
        root_ = *root;
        path_ = std::string(path);
        inSection_ = true;
        result_->hive.addKey(root_, path_);
    }

    // A quoted text with the two escapes of registry files, \\ and \". On success `rest`
    // is what follows the closing quote.
    std::optional<std::string> quoted(std::string_view text, std::string_view *rest)
    {
        std::string out;
        for (size_t i = 1; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '"') {
                *rest = text.substr(i + 1);
                return out;
            }
            if (c == '\\') {
                if (i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
                    out += text[++i];
                    continue;
                }
                problem("secuencia de escape desconocida");
                return std::nullopt;
            }
            out += c;
        }
        problem("falta la comilla de cierre");
        return std::nullopt;
    }

    void valueLine(std::string_view text)
    {
        RegValue value;
        std::string_view rest;
        if (text.front() == '@') {
            rest = text.substr(1);
        } else if (text.front() == '"') {
            std::optional<std::string> name = quoted(text, &rest);
            if (!name)
                return;
            value.name = std::move(*name);
        } else {
            return problem("línea no reconocida");
        }
        rest = trimmed(rest);
        if (rest.empty() || rest.front() != '=')
            return problem("falta el signo =");
        rest = trimmed(rest.substr(1));
        if (!data(rest, &value))
            return;
        if (!inSection_)
            return problem("valor fuera de una clave");
        result_->hive.setValue(root_, path_, std::move(value));
    }

    bool data(std::string_view text, RegValue *value)
    {
        if (!text.empty() && text.front() == '"') {
            std::string_view after;
            std::optional<std::string> content = quoted(text, &after);
            if (!content)
                return false;
            if (!trimmed(after).empty()) {
                problem("texto de sobra tras la comilla de cierre");
                return false;
            }
            *value = stringValue(std::move(value->name), *content);
            return true;
        }
        if (startsWithIgnoreCase(text, "dword:")) {
            const std::optional<std::uint32_t> number = hexNumber(trimmed(text.substr(6)), 8);
            if (!number) {
                problem("dword no válido");
                return false;
            }
            *value = dwordValue(std::move(value->name), *number);
            return true;
        }
        if (startsWithIgnoreCase(text, "hex"))
            return hexData(text.substr(3), value);
        if (text == "-")
            problem("no se admite borrar valores");
        else
            problem("tipo de dato desconocido");
        return false;
    }

    // "hex:01,02" (REG_BINARY) or "hex(7):41,00" (any type), bytes as hexadecimal pairs.
    bool hexData(std::string_view text, RegValue *value)
    {
        value->type = REG_BINARY;
        if (!text.empty() && text.front() == '(') {
            const size_t close = text.find(')');
            const std::optional<std::uint32_t> type = close == std::string_view::npos
                ? std::nullopt
                : hexNumber(text.substr(1, close - 1), 8);
            if (!type) {
                problem("tipo hex() no válido");
                return false;
            }
            value->type = *type;
            text = text.substr(close + 1);
        }
        if (text.empty() || text.front() != ':') {
            problem("faltan los dos puntos tras hex");
            return false;
        }
        text = trimmed(text.substr(1));
        value->data.clear();
        while (!text.empty()) {
            const size_t comma = text.find(',');
            const std::optional<std::uint32_t> byte = hexNumber(trimmed(text.substr(0, comma)), 2);
            if (!byte) {
                problem("byte hexadecimal no válido");
                return false;
            }
            value->data.push_back(std::uint8_t(*byte));
            text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        }
        return true;
    }

    RegParseResult *result_;
    int number_ = 0;
    bool inSection_ = false;
    HKEY root_ = 0;
    std::string path_;
};

} // namespace

void RegistryHive::addKey(HKEY root, std::string_view path)
{
    keys_[{root, folded(path)}];
}

void RegistryHive::setValue(HKEY root, std::string_view path, RegValue value)
{
    std::string name = folded(value.name);
    keys_[{root, folded(path)}][name] = std::move(value);
}

bool RegistryHive::hasKey(HKEY root, std::string_view path) const
{
    if (path.empty())
        return true;
    const std::string key = folded(path);
    auto it = keys_.lower_bound({root, key});
    if (it == keys_.end() || it->first.first != root)
        return false;
    // The key itself, or the first key below it: "a\b" sorts before "a\b\c".
    const std::string &found = it->first.second;
    return found == key
        || (found.size() > key.size() && found.compare(0, key.size(), key) == 0
            && found[key.size()] == '\\');
}

const RegValue *RegistryHive::value(HKEY root, std::string_view path, std::string_view name) const
{
    auto key = keys_.find({root, folded(path)});
    if (key == keys_.end())
        return nullptr;
    auto value = key->second.find(folded(name));
    return value == key->second.end() ? nullptr : &value->second;
}

RegValue stringValue(std::string name, std::string_view text)
{
    RegValue value {std::move(name), REG_SZ, std::vector<std::uint8_t>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
}

RegValue dwordValue(std::string name, std::uint32_t number)
{
    return RegValue {std::move(name),
                     REG_DWORD,
                     {std::uint8_t(number), std::uint8_t(number >> 8), std::uint8_t(number >> 16),
                      std::uint8_t(number >> 24)}};
}

std::optional<HKEY> rootFromName(std::string_view name)
{
    for (const RootName &r : kRoots)
        if (dos::equalsIgnoreCase(name, r.full) || dos::equalsIgnoreCase(name, r.shortName))
            return r.root;
    return std::nullopt;
}

std::string rootName(HKEY root)
{
    for (const RootName &r : kRoots)
        if (r.root == root)
            return r.full;
    return std::string();
}

RegParseResult parseRegText(std::string_view text)
{
    RegParseResult result;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    RegParser parser(&result);
    bool first = true;
    int number = 0;
    std::string logical;
    int logicalStart = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view physical = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (logical.empty())
            logicalStart = number;
        // Long hex data goes on over several lines, each but the last ending in a backslash.
        const bool comment = logical.empty() && !physical.empty() && physical.front() == ';';
        if (!comment && !physical.empty() && physical.back() == '\\' && !text.empty()) {
            physical.remove_suffix(1);
            logical += physical;
            continue;
        }
        logical += physical;
        if (first && !trimmed(logical).empty()) {
            first = false;
            if (logical == "Windows Registry Editor Version 5.00" || logical == "REGEDIT4") {
                logical.clear();
                continue;
            }
        }
        parser.line(logicalStart, logical);
        logical.clear();
    }
    return result;
}

LONG HiveRegistry::openKeyEx(HKEY key, std::string_view subKey, std::uint32_t access, HKEY *result)
{
    assert(result);
    *result = 0;
    HKEY root = key;
    std::string path;
    if (!isRoot(key)) {
        auto parent = open_.find(key);
        if (parent == open_.end())
            return ERROR_INVALID_HANDLE;
        root = parent->second.root;
        path = parent->second.path;
    }
    if (!path.empty() && !subKey.empty())
        path += '\\';
    path += subKey;
    RegistryHive hive;
    if (const LONG error = loadKey(root, path, (access & kKeyWriteRights) != 0, &hive))
        return error;
    const HKEY handle = nextHandle_++;
    open_.emplace(handle, OpenKey {root, std::move(path), std::move(hive)});
    *result = handle;
    return ERROR_SUCCESS;
}

LONG HiveRegistry::queryValueEx(HKEY key, std::string_view valueName, std::uint32_t *type,
                                std::uint8_t *data, std::uint32_t *dataSize)
{
    auto it = open_.find(key);
    if (it == open_.end())
        return ERROR_INVALID_HANDLE;
    const RegValue *value = it->second.hive.value(it->second.root, it->second.path, valueName);
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    if (!dataSize)
        return ERROR_SUCCESS;
    const auto size = std::uint32_t(value->data.size());
    if (data && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data)
        std::copy(value->data.begin(), value->data.end(), data);
    *dataSize = size;
    return ERROR_SUCCESS;
}

LONG HiveRegistry::closeKey(HKEY key)
{
    if (isRoot(key))
        return ERROR_SUCCESS;
    return open_.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

std::filesystem::path FileRegistry::file() const
{
    return file_.empty() ? registryFile(dos::currentDrives()) : file_;
}

LONG FileRegistry::loadKey(HKEY root, const std::string &path, bool wantsWrite, RegistryHive *hive)
{
    const std::filesystem::path name = file();
    std::ifstream in(name, std::ios::binary);
    if (!in)
        return ERROR_FILE_NOT_FOUND; // no registry file: no keys
    std::ostringstream text;
    text << in.rdbuf();
    RegParseResult parsed = parseRegText(text.str());
    problems_ = std::move(parsed.problems);
    if (!parsed.hive.hasKey(root, path))
        return ERROR_FILE_NOT_FOUND;
    if (wantsWrite && !userMayWrite(name))
        return ERROR_ACCESS_DENIED;
    *hive = std::move(parsed.hive);
    return ERROR_SUCCESS;
}

void MemoryRegistry::setReadOnly(HKEY root, std::string_view path)
{
    readOnly_.insert({root, folded(path)});
}

LONG MemoryRegistry::loadKey(HKEY root, const std::string &path, bool wantsWrite,
                             RegistryHive *hive)
{
    openLog_.push_back(rootName(root) + (path.empty() ? "" : "\\") + path);
    if (!hive_.hasKey(root, path))
        return ERROR_FILE_NOT_FOUND;
    if (wantsWrite && readOnly_.count({root, folded(path)}))
        return ERROR_ACCESS_DENIED;
    *hive = hive_;
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
