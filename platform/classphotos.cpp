// The class's photographs, read and linked into a tool folder.
#include "classphotos.h"

#include "asciitext.h"
#include "drivec.h"
#include "failurelog.h"
#include "oserror.h"

#include <cerrno>
#include <map>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace classroom {

namespace {

bool endsWith(const std::string &text, std::string_view suffix)
{
    return text.size() > suffix.size() && text.ends_with(suffix);
}

// The first bytes of a BMP ("BM") or a PGM ("P5" or "P2" and a blank): enough to tell a
// photograph from a stray file without decoding it at every start. Opened without following a
// link and without waiting: whatever took the file's place since it was listed (a FIFO that
// would block every student's start for ever, a device) is no photograph.
bool looksLike(const fs::path &file, std::string_view suffix)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info = {};
    char head[3] = {};
    const bool read = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
        && ::read(fd, head, sizeof head) == ssize_t(sizeof head);
    ::close(fd);
    if (!read)
        return false;
    if (suffix == kBitmapSuffix)
        return head[0] == 'B' && head[1] == 'M';
    return head[0] == 'P' && (head[1] == '5' || head[1] == '2')
        && std::string_view(" \t\r\n").find(head[2]) != std::string_view::npos;
}

std::string quoted(const fs::path &file)
{
    return "«" + file.string() + "»";
}

// What an entry is when it is not a regular file; empty when it is one.
std::string oddKind(const fs::directory_entry &entry)
{
    std::error_code error;
    switch (entry.symlink_status(error).type()) {
    case fs::file_type::regular:
        return {};
    case fs::file_type::symlink:
        return "es un enlace simbólico";
    case fs::file_type::directory:
        return "es una carpeta";
    case fs::file_type::fifo:
        return "es una FIFO";
    case fs::file_type::block:
    case fs::file_type::character:
        return "es un dispositivo";
    default:
        return error ? dos::spanishReason(error) : "no es un archivo normal";
    }
}

} // namespace

std::string summary(const std::vector<std::string> &problems)
{
    if (problems.size() <= 1)
        return problems.empty() ? std::string() : problems.front();
    return "carpeta de la clase: " + std::to_string(problems.size())
        + " problemas; el primero: " + problems.front();
}

ClassContents readClass(const fs::path &classFolder)
{
    ClassContents contents;
    std::error_code error;
    // name -> which of its two files are there, and what is wrong with one that is not a file
    struct Found
    {
        bool bitmap = false;
        bool twin = false;
        std::string odd;
    };
    std::map<std::string, Found> found;
    for (fs::directory_iterator it(classFolder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string file = it->path().filename().string();
        for (const std::string_view suffix : {kBitmapSuffix, kTwinSuffix}) {
            if (file.starts_with('.') || !endsWith(file, suffix))
                continue;
            Found &pair = found[file.substr(0, file.size() - suffix.size())];
            (suffix == kBitmapSuffix ? pair.bitmap : pair.twin) = true;
            if (const std::string odd = oddKind(*it); !odd.empty() && pair.odd.empty())
                pair.odd = quoted(it->path()) + " " + odd + ", no un archivo";
        }
    }
    if (error) {
        contents.problems.push_back("no se puede leer la carpeta de la clase " + quoted(classFolder)
                                    + ": " + dos::spanishReason(error));
        return contents;
    }
    std::set<std::string> taken; // lowered names
    for (const auto &[name, pair] : found) {
        const Photo photo {name, classFolder / (name + kBitmapSuffix),
                           classFolder / (name + kTwinSuffix)};
        std::string problem;
        if (!pair.odd.empty())
            problem = pair.odd;
        else if (!pair.bitmap || !pair.twin)
            problem = quoted(pair.bitmap ? photo.bitmap : photo.twin) + " no tiene su gemelo "
                + quoted(pair.bitmap ? photo.twin : photo.bitmap);
        else if (!looksLike(photo.bitmap, kBitmapSuffix))
            problem = quoted(photo.bitmap) + " no es un bitmap que se pueda leer";
        else if (!looksLike(photo.twin, kTwinSuffix))
            problem = quoted(photo.twin) + " no es una imagen PGM que se pueda leer";
        else if (!taken.insert(dos::asciiLowered(name)).second)
            problem = "«" + name + "» ya está en la clase con otras mayúsculas";
        if (problem.empty())
            contents.photos.push_back(photo);
        else
            contents.problems.push_back("fotografía de la clase omitida: " + problem);
    }
    return contents;
}

bool isClassLink(const fs::path &file, const fs::path &classFolder)
{
    std::error_code error;
    const fs::path target = fs::read_symlink(file, error);
    return !error && target.parent_path() == classFolder;
}

std::vector<std::string> linkClassPhotos(const fs::path &classFolder, const fs::path &toolFolder)
{
    ClassContents contents = readClass(classFolder);
    std::vector<std::string> problems = std::move(contents.problems);
    std::error_code error;

    // The student's own names, lowered; the class's links are not hers.
    std::set<std::string> own;
    std::vector<fs::path> links;
    for (fs::directory_iterator it(toolFolder, error), end; !error && it != end;
         it.increment(error)) {
        if (isClassLink(it->path(), classFolder))
            links.push_back(it->path());
        else
            own.insert(dos::asciiLowered(it->path().filename().string()));
    }
    if (error)
        return {"no se puede leer la carpeta " + quoted(toolFolder) + ": "
                + dos::spanishReason(error)};

    std::map<fs::path, fs::path> wanted; // link -> class file
    for (const Photo &photo : contents.photos) {
        if (own.count(dos::asciiLowered(photo.name + kBitmapSuffix))
            || own.count(dos::asciiLowered(photo.name + kTwinSuffix)))
            continue;
        for (const fs::path &file : {photo.bitmap, photo.twin})
            wanted[toolFolder / file.filename()] = file;
    }
    for (const fs::path &link : links) {
        const auto it = wanted.find(link);
        if (it != wanted.end() && fs::read_symlink(link, error) == it->second) {
            wanted.erase(it); // already there
            continue;
        }
        if (!fs::remove(link, error) && error)
            problems.push_back("no se puede quitar " + quoted(link) + ": "
                               + dos::spanishReason(error));
    }
    for (const auto &[link, file] : wanted) {
        fs::create_symlink(file, link, error);
        if (error)
            problems.push_back("no se puede enlazar " + quoted(link) + ": "
                               + dos::spanishReason(error));
    }
    return problems;
}

void linkAtStart(const fs::path &classFolder, const fs::path &driveC, const fs::path &log)
{
    const fs::path tools = dos::toolFolder(driveC);
    const std::string line = summary(linkClassPhotos(classFolder, tools));
    if (!line.empty())
        failures::recordUnlessRepeated({failures::now(), dos::toDos(tools, {driveC, tools}), 1,
                                        "tavelio-drivec", classFolder.string(),
                                        "tavelio-drivec: " + line},
                                       log);
}

} // namespace classroom
