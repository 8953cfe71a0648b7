// DOS names for Linux files: case-blind lookup component by component.
#include "dospath.h"

#include <cstdlib>
#include <system_error>
#include <vector>

namespace dos {

namespace {

std::vector<std::string_view> splitComponents(std::string_view path)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            if (i > start)
                parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool hasDriveLetter(std::string_view path)
{
    return path.size() >= 2 && path[1] == ':'
        && ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
}

// True when `path` lies inside `root` (or is it); `rest` receives the part below it.
bool below(const fs::path &root, const fs::path &path, fs::path *rest)
{
    auto r = root.begin();
    auto p = path.begin();
    for (; r != root.end(); ++r, ++p) {
        if (r->empty())
            continue; // a trailing separator of root
        if (p == path.end() || *r != *p)
            return false;
    }
    fs::path remainder;
    for (; p != path.end(); ++p)
        if (!p->empty())
            remainder /= *p;
    *rest = remainder;
    return true;
}

fs::path normalised(const fs::path &path)
{
    std::error_code error;
    fs::path absolute = fs::absolute(path, error);
    return (error ? path : absolute).lexically_normal();
}

} // namespace

fs::path findInFolder(const fs::path &folder, std::string_view name)
{
    std::error_code error;
    const fs::path exact = folder / std::string(name);
    if (fs::exists(fs::symlink_status(exact, error)))
        return exact;
    std::string best;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (equalsIgnoreCase(entry, name) && (best.empty() || entry < best))
            best = std::move(entry);
    }
    return best.empty() ? exact : folder / best;
}

fs::path resolveBelow(const fs::path &root, std::string_view relative)
{
    fs::path result = root;
    size_t depth = 0;
    for (std::string_view part : splitComponents(relative)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (depth > 0) {
                result = result.parent_path();
                --depth;
            }
            continue;
        }
        result = findInFolder(result, part);
        ++depth;
    }
    return result;
}

std::optional<fs::path> toNative(std::string_view dosPath, const Drives &drives)
{
    if (hasDriveLetter(dosPath)) {
        const char letter = asciiLower(dosPath[0]);
        std::string_view rest = dosPath.substr(2);
        if (letter == 'c')
            return resolveBelow(drives.driveC, rest);
        if (letter == 'z')
            return resolveBelow("/", rest);
        return std::nullopt;
    }
    if (!dosPath.empty() && (dosPath[0] == '\\' || dosPath[0] == '/')) {
        fs::path rest;
        if (below(normalised(drives.driveC), normalised(drives.workingFolder), &rest))
            return resolveBelow(drives.driveC, dosPath);
        return resolveBelow("/", dosPath);
    }
    // A relative name starts in the working folder and may climb to its drive's root.
    fs::path rest;
    const fs::path working = normalised(drives.workingFolder);
    if (below(normalised(drives.driveC), working, &rest))
        return resolveBelow(drives.driveC, rest.string() + "/" + std::string(dosPath));
    return resolveBelow("/", working.relative_path().string() + "/" + std::string(dosPath));
}

std::string toDos(const fs::path &nativePath, const Drives &drives)
{
    const fs::path path
        = normalised(nativePath.is_absolute() ? nativePath : drives.workingFolder / nativePath);
    fs::path rest;
    std::string dosName;
    if (below(normalised(drives.driveC), path, &rest)) {
        dosName = "c:\\";
    } else {
        dosName = "z:\\";
        rest = path.relative_path();
    }
    bool first = true;
    for (const fs::path &part : rest) {
        if (!first)
            dosName += '\\';
        dosName += part.string();
        first = false;
    }
    return dosName;
}

fs::path driveCFromEnvironment()
{
    if (const char *explicitDrive = std::getenv("TAVELIO_DRIVE_C"); explicitDrive && *explicitDrive)
        return explicitDrive;
    if (const char *dataHome = std::getenv("XDG_DATA_HOME"); dataHome && *dataHome)
        return fs::path(dataHome) / "tavelio" / "drive_c";
    const char *home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/tmp") / ".local" / "share" / "tavelio" / "drive_c";
}

Drives currentDrives()
{
    std::error_code error;
    fs::path cwd = fs::current_path(error);
    return Drives {driveCFromEnvironment(), error ? fs::path(".") : cwd};
}

} // namespace dos
