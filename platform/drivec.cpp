// Making the user's drive C from the template.
#include "drivec.h"

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

} // namespace

fs::path findTemplate(const fs::path &executable)
{
    if (const char *explicitTemplate = std::getenv("TAVELIO_TEMPLATE");
        explicitTemplate && *explicitTemplate)
        return explicitTemplate;
    const fs::path dir = executable.parent_path();
    std::error_code error;
    for (const fs::path &candidate :
         {dir / ".." / "share" / "tavelio" / "drive_c", dir / ".." / "drive_c"}) {
        if (fs::is_directory(candidate, error))
            return candidate.lexically_normal();
    }
    return {};
}

bool prepareDriveC(const fs::path &driveC, const fs::path &templateDir, std::string *reason)
{
    std::error_code error;
    fs::create_directories(driveC, error);
    if (error) {
        *reason = driveC.string() + ": " + error.message();
        return false;
    }
    const fs::path source = fs::canonical(templateDir, error);
    if (error) {
        *reason = templateDir.string() + ": " + error.message();
        return false;
    }
    for (fs::recursive_directory_iterator it(source, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path target = driveC / fs::relative(it->path(), source);
        if (fs::exists(fs::symlink_status(target, error)))
            continue;
        if (it->is_directory(error))
            fs::create_directory(target, error);
        else if (isProgram(*it))
            fs::create_symlink(it->path(), target, error);
        else
            fs::copy_file(it->path(), target, error);
        if (error) {
            *reason = target.string() + ": " + error.message();
            return false;
        }
    }
    if (error) {
        *reason = source.string() + ": " + error.message();
        return false;
    }
    return true;
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
