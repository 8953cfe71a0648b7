// The user's drive C, made from the installed templates.
#pragma once

#include "dospath.h"

#include <span>
#include <string>
#include <vector>

namespace dos {

// The tool folder, as the command lines write it: the image tools, the sample bitmaps and their
// PGM twins live there, and the program works there. The build reads its place from this line.
inline constexpr char kToolFolder[] = "c:\\qor\\ejecutable\\auxiliares\\";

// The tool folder of a drive C.
fs::path toolFolder(const fs::path &driveC);

// The folder of the helper programs that no one types (the command shell, tavelio-drivec)
// and of the programs' template, for an executable in <prefix>/bin or in that folder itself:
// <prefix>/lib/tavelio.
fs::path installedLibraryFolder(const fs::path &executable);

// The templates of drive C for an installed or built executable, the programs' first:
// $TAVELIO_TEMPLATE (folders separated by ":"), else the installed pair
// <prefix>/lib/tavelio/drive_c (programs, architecture-dependent) and
// <prefix>/share/tavelio/drive_c (data), else the build tree's <exe>/../drive_c, which holds
// both. Empty when none exists.
std::vector<fs::path> findTemplates(const fs::path &executable);

// Makes `driveC` from `templates` when it is missing, and adds whatever they have that it
// lacks, the first template's file winning: programs are linked to the template's (so an
// upgrade reaches every user without touching their drive C), data files are copied (so a
// student's changes stay hers). A link left dangling by an older layout or another install
// prefix counts as missing and is made again; nothing else present is ever overwritten. A new
// drive C is readable by its owner only.
// False, with a reason, when a file could not be made.
bool prepareDriveC(const fs::path &driveC, std::span<const fs::path> templates,
                   std::string *reason);

// Prepares `driveC` as above from the templates of this process's executable: how the program,
// tavelio-drivec and the importer all make a user's drive C ready. False, with a reason, when
// no template is found or a file could not be made.
bool prepareDriveC(const fs::path &driveC, std::string *reason);

// The executable of this process (/proc/self/exe).
fs::path currentExecutable();

} // namespace dos
