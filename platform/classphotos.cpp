// The class's photographs, read and linked into a tool folder.
#include "classphotos.h"

#include "asciitext.h"

#include <fstream>
#include <map>
#include <set>

namespace classroom {

namespace {

bool endsWith(const std::string &text, std::string_view suffix)
{
    return text.size() > suffix.size() && text.ends_with(suffix);
}

// The first bytes of a BMP ("BM") or a PGM ("P5" or "P2" and a blank): enough to tell a
// photograph from a stray file without decoding it at every start.
bool looksLike(const fs::path &file, std::string_view suffix)
{
    std::ifstream in(file, std::ios::binary);
    char head[3] = {};
    if (!in.read(head, sizeof head))
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

// The system's reason, in the program's language where it is one a class meets.
std::string reason(const std::error_code &error)
{
    if (error == std::errc::no_such_file_or_directory)
        return "no existe";
    if (error == std::errc::permission_denied)
        return "permiso denegado";
    return error.message();
}

} // namespace

ClassContents readClass(const fs::path &classFolder)
{
    ClassContents contents;
    std::error_code error;
    // name -> which of its two files are there
    std::map<std::string, std::pair<bool, bool>> found;
    for (fs::directory_iterator it(classFolder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string file = it->path().filename().string();
        for (const std::string_view suffix : {kBitmapSuffix, kTwinSuffix}) {
            if (file.starts_with('.') || !endsWith(file, suffix))
                continue;
            auto &pair = found[file.substr(0, file.size() - suffix.size())];
            (suffix == kBitmapSuffix ? pair.first : pair.second) = true;
        }
    }
    if (error) {
        contents.problems.push_back("no se puede leer la carpeta de la clase " + quoted(classFolder)
                                    + ": " + reason(error));
        return contents;
    }
    std::set<std::string> taken; // lowered names
    for (const auto &[name, pair] : found) {
        const Photo photo {name, classFolder / (name + kBitmapSuffix),
                           classFolder / (name + kTwinSuffix)};
        std::string problem;
        if (!pair.first || !pair.second)
            problem = quoted(pair.first ? photo.bitmap : photo.twin) + " no tiene su gemelo "
                + quoted(pair.first ? photo.twin : photo.bitmap);
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
        return {"no se puede leer la carpeta " + quoted(toolFolder) + ": " + reason(error)};

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
            problems.push_back("no se puede quitar " + quoted(link) + ": " + reason(error));
    }
    for (const auto &[link, file] : wanted) {
        fs::create_symlink(file, link, error);
        if (error)
            problems.push_back("no se puede enlazar " + quoted(link) + ": " + reason(error));
    }
    return problems;
}

} // namespace classroom
