// Opening the image the viewer was started with.
//
// PNM goes through the imaging library, so that 16-bit PGM (the distorted images) reads exactly
// as the tools wrote it; everything else goes through QImageReader. Failures come back as one
// Spanish text for the message box, never as an empty window.
#pragma once

#include "dospath.h"
#include "greylevels.h"
#include "tool.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>
#include <string_view>

namespace picture {

namespace fs = std::filesystem;

// The title of the viewer's message boxes.
inline constexpr const char *kProgramTitle = "i_view32";

// The text key under which a picture the viewer saves keeps the lines that say how it was made.
inline constexpr const char *kLinesKey = "Description";

struct LoadedImage
{
    fs::path path; // the file on disk, with the case it has there
    GreyLevels grey; // grey levels on 0..1 (luminance for colour pictures)
    int maxval = 255; // the file's own scale, for the status bar
    QImage display; // what is shown: 8 bits a channel; the very samples of an 8-bit grey file
    QStringList lines; // how it was made: the tools' lines in its header, oldest first,
                       // without empty comment lines
};

struct OpenResult
{
    std::optional<LoadedImage> image;
    QString error; // empty when `image` holds the picture
    int exitStatus = img::kOk; // the tools' statuses (tool.h)
};

// The native file the argument names: "c:\..." on drive C, an absolute Linux path as it is,
// anything else in the working folder; each component without regard to letter case. Nothing
// for a drive letter that names no folder.
std::optional<fs::path> resolveArgument(std::string_view argument, const dos::Drives &drives);

// Reads an image file already resolved on disk.
OpenResult loadImage(const fs::path &path);

// What the viewer does with its command-line arguments (the program name not included).
OpenResult openFromArguments(const QStringList &arguments, const dos::Drives &drives);

// The align.pgm `image` is judged against: beside it, readable and of the same size; nothing
// otherwise.
std::optional<LoadedImage> referenceFor(const LoadedImage &image);

} // namespace picture
