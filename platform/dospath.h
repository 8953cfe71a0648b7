// DOS names for Linux files.
//
// The program and its batch files name files the way a Windows console does: "c:\qor\..."
// for drive C, bare names for the working folder, and no regard to letter case. Drive C is a
// per-user folder; drive Z is the root of the Linux file system, so every native path has a
// DOS name and back. Pure C++: the image tools and the command shell use it as well.
#pragma once

#include "asciitext.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace dos {

namespace fs = std::filesystem;

// Where the drive letters point.
struct Drives
{
    fs::path driveC; // what "c:\" names
    fs::path workingFolder; // what bare and relative names are resolved against
};

// The entry of `folder` called `name` without regard to letter case. An exact match wins; among
// several case variants the first in name order is taken, so the answer does not change
// between runs. When nothing matches, `folder / name` as written: a file yet to be made keeps
// the case it was given.
fs::path findInFolder(const fs::path &folder, std::string_view name);

// Resolves a relative path of "\" or "/" separated components below `root`, one component at
// a time, each with findInFolder. "." is skipped and ".." goes up, never above `root`.
fs::path resolveBelow(const fs::path &root, std::string_view relative);

// The native file a DOS path names: "c:\..." below drive C, "z:\..." below "/", a name
// without a drive letter in the working folder ("\..." from the working folder's drive root).
// Other drive letters name nothing: std::nullopt.
std::optional<fs::path> toNative(std::string_view dosPath, const Drives &drives);

// The DOS name of a native path: "c:\..." inside drive C, "z:\..." elsewhere. Relative paths
// are taken from the working folder. The components keep their case on disk.
std::string toDos(const fs::path &nativePath, const Drives &drives);

// Drive C of this user: $TAVELIO_DRIVE_C, else $XDG_DATA_HOME/tavelio/drive_c, else
// $HOME/.local/share/tavelio/drive_c.
fs::path driveCFromEnvironment();

// The drives of this process: drive C from the environment, the current folder as working
// folder.
Drives currentDrives();

} // namespace dos
