// The user's drive C, made from the installed template.
#pragma once

#include "dospath.h"

#include <string>

namespace dos {

// The tool folder, as the command lines write it: the image tools, the sample bitmaps and their
// PGM twins live there, and the program works there. The build reads its place from this line.
inline constexpr char kToolFolder[] = "c:\\qor\\ejecutable\\auxiliares\\";

// The tool folder of a drive C.
fs::path toolFolder(const fs::path &driveC);

// The template next to an installed or built executable: $TAVELIO_TEMPLATE, else
// <exe>/../share/tavelio/drive_c (installed), else <exe>/../drive_c (build tree). Empty when
// none exists.
fs::path findTemplate(const fs::path &executable);

// Makes `driveC` from `templateDir` when it is missing, and adds whatever the template has
// that it lacks: programs are linked to the template's (so a reinstall updates them), data
// files are copied (so a student's changes stay hers). Nothing present is ever overwritten.
// False, with a reason, when a file could not be made.
bool prepareDriveC(const fs::path &driveC, const fs::path &templateDir, std::string *reason);

// The executable of this process (/proc/self/exe).
fs::path currentExecutable();

} // namespace dos
