// Making the user's drive C from the templates.
#include "drivec.h"

#include "oserror.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace dos {

namespace {

bool isProgram(const fs::directory_entry &entry)
{
    std::error_code error;
    const fs::perms perms = entry.status(error).permissions();
    return !error && (perms & fs::perms::owner_exec) != fs::perms::none;
}

// True when `target` is there, or a link to something that is; a dangling link is removed so
// that it can be made again.
bool presentOrMended(const fs::path &target, std::error_code &error)
{
    std::error_code missing;
    const fs::file_status status = fs::symlink_status(target, missing);
    if (!fs::exists(status))
        return false;
    if (!fs::is_symlink(status) || fs::exists(target, missing))
        return true;
    fs::remove(target, error);
    return false;
}

// A folder is made, a program linked, a data file copied.
void makeFromTemplate(const fs::directory_entry &entry, const fs::path &target,
                      std::error_code &error)
{
    if (entry.is_directory(error))
        fs::create_directory(target, error);
    else if (isProgram(entry))
        fs::create_symlink(entry.path(), target, error);
    else
        fs::copy_file(entry.path(), target, error);
}

bool addTemplate(const fs::path &driveC, const fs::path &templateDir, std::string *reason)
{
    std::error_code error;
    const fs::path source = fs::canonical(templateDir, error);
    if (error) {
        *reason = templateDir.string() + ": " + spanishReason(error);
        return false;
    }
    for (fs::recursive_directory_iterator it(source, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path target = driveC / fs::relative(it->path(), source);
        if (presentOrMended(target, error))
            continue;
        if (!error)
            makeFromTemplate(*it, target, error);
        if (error) {
            *reason = target.string() + ": " + spanishReason(error);
            return false;
        }
    }
    if (error) {
        *reason = source.string() + ": " + spanishReason(error);
        return false;
    }
    return true;
}

} // namespace

fs::path installedLibraryFolder(const fs::path &executable)
{
    const fs::path dir = executable.parent_path();
    if (dir.filename() == "tavelio" && dir.parent_path().filename() == "lib")
        return dir;
    return (dir.parent_path() / "lib" / "tavelio").lexically_normal();
}

std::vector<fs::path> findTemplates(const fs::path &executable)
{
    std::vector<fs::path> found;
    if (const char *explicitTemplates = std::getenv("TAVELIO_TEMPLATE");
        explicitTemplates && *explicitTemplates) {
        const std::string list = explicitTemplates;
        for (size_t start = 0; start <= list.size();) {
            const size_t colon = std::min(list.find(':', start), list.size());
            if (colon > start)
                found.emplace_back(list.substr(start, colon - start));
            start = colon + 1;
        }
        return found;
    }
    std::error_code error;
    const fs::path library = installedLibraryFolder(executable);
    const fs::path prefix = library.parent_path().parent_path();
    const fs::path buildTree = executable.parent_path() / ".." / "drive_c";
    for (const fs::path &candidate :
         {library / "drive_c", prefix / "share" / "tavelio" / "drive_c"}) {
        if (fs::is_directory(candidate, error))
            found.push_back(candidate.lexically_normal());
    }
    if (found.empty() && fs::is_directory(buildTree, error))
        found.push_back(buildTree.lexically_normal());
    return found;
}

bool prepareDriveC(const fs::path &driveC, std::span<const fs::path> templates, std::string *reason)
{
    std::error_code error;
    const bool isNew = !fs::exists(driveC, error);
    fs::create_directories(driveC, error);
    // A new drive C is its student's alone, whatever the mode of the home it lies in.
    if (!error && isNew)
        fs::permissions(driveC, fs::perms::owner_all, error);
    if (error) {
        *reason = driveC.string() + ": " + spanishReason(error);
        return false;
    }
    for (const fs::path &templateDir : templates) {
        if (!addTemplate(driveC, templateDir, reason))
            return false;
    }
    return true;
}

bool prepareDriveC(const fs::path &driveC, std::string *reason)
{
    const std::vector<fs::path> templates = findTemplates(currentExecutable());
    if (templates.empty()) {
        *reason = "no se encuentra la plantilla de la unidad C";
        return false;
    }
    return prepareDriveC(driveC, templates, reason);
}

fs::path toolFolder(const fs::path &driveC)
{
    // The folder's name without its drive, "c:\".
    return resolveBelow(driveC, std::string_view(kToolFolder).substr(3));
}

fs::path currentExecutable()
{
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error);
}

} // namespace dos
