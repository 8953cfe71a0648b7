// The class's photographs: one folder a teacher publishes into, linked into every drive C.
//
// A teacher of the group kGroup writes NAME.BMP and its twin NAME.pgm into kClassFolder. At
// every start each student's tool folder gets a link of the same name to each file, so a
// replaced photograph reaches everyone without copying, and the tools read it where it is.
// Pure C++, for tavelio-drivec and tavelio-importar.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace classroom {

namespace fs = std::filesystem;

// The folder of the class, root:kGroup, setgid and group-writable, readable by everyone. The
// package's maintainer scripts make it; the functions below take it as an argument.
inline constexpr char kClassFolder[] = "/var/lib/tavelio/fotos";
inline constexpr char kGroup[] = "tavelio";

// The names a photograph is written under, as "A&brir..." finds the twin of the bitmap.
inline constexpr char kBitmapSuffix[] = ".BMP";
inline constexpr char kTwinSuffix[] = ".pgm";

struct Photo
{
    std::string name; // without a suffix
    fs::path bitmap;
    fs::path twin;
};

struct ClassContents
{
    std::vector<Photo> photos; // complete pairs, by name
    std::vector<std::string> problems; // one line each: what was skipped and why
};

// The complete pairs of `classFolder`. A bitmap without its twin or the other way round, an
// entry that is not a regular file (a link, a FIFO, a device, a folder), a file that is not the
// image its suffix says, or a name equal but for letter case to one already taken is skipped,
// with a problem; so is the whole folder when it cannot be read. Entries are looked at without
// following links, and opened without waiting, so nothing planted there can block a start.
// Other names (the hidden temporaries of a write in progress) are not the class's and pass
// unseen.
ClassContents readClass(const fs::path &classFolder);

// True when `file` is a link into `classFolder`, which only linkClassPhotos makes.
bool isClassLink(const fs::path &file, const fs::path &classFolder);

// Links each complete pair of `classFolder` into `toolFolder` under its own names, and
// removes every link into `classFolder` that no complete pair accounts for any more (a
// photograph withdrawn or broken). A pair one of whose names the student has already, in any
// letter case, is left out: her own file is never touched and keeps its name. The problems
// found, one line each; none stops the others from being linked.
std::vector<std::string> linkClassPhotos(const fs::path &classFolder, const fs::path &toolFolder);

// The problems as one line: the only one, or how many and the first. Empty for none.
std::string summary(const std::vector<std::string> &problems);

// What a start does with the class: links its photographs into the tool folder of `driveC`
// and records what it could not as one line in the failure log `log`, unless the log already
// ends with that line.
void linkAtStart(const fs::path &classFolder, const fs::path &driveC, const fs::path &log);

} // namespace classroom
