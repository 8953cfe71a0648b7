// What a restoration was made from, read back from its own last line and from the pictures
// beside it: what --curva sweeps and what the viewer's explorer lets the student change.
//
// A Wiener or inverse-filter result names its method, its two inputs (distor.pgm and the PSF)
// and the value it was made with; a structured-noise removal names its input and the regions
// it zeroed. Both are refused when the input was made again since: a value tried on another
// image would not be the result's. align.pgm is the truth only under the report's rule (the
// chain's own original, the same size); without it there are pictures but no figures.
#pragma once

#include "image.h"
#include "lookup.h"
#include "peaks.h"
#include "sweep.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>
#include <vector>

namespace report {

// A Wiener or inverse-filter result.
struct Deconvolution
{
    restore::Method method = restore::Method::Wiener;
    double own = 0.0; // the value the result was made with
    std::optional<double> advised; // what the tool advised (aconsejada=), files that say it
    img::Image distorted;
    img::Image psf;
};

// A structured-noise removal: snr.exe's.
struct NoiseRemoval
{
    img::Image distorted;
    std::vector<restore::DisplayRect> zeroed; // the regions it zeroed (regiones=)
    std::vector<restore::DisplayRect> proposed; // those the tool proposed (propuestas=)
};

struct Explorable
{
    std::filesystem::path result; // the file, as found on disk
    LineMeaning made; // its last line; made.operation is the menu's row that runs it
    std::optional<Deconvolution> deconvolution;
    std::optional<NoiseRemoval> noiseRemoval;
    std::optional<restore::Truth> truth; // align.pgm, when it is the truth of the result
    QString noTruth; // why there is no truth, otherwise
    QString error; // one Spanish line when the result cannot be explored; nothing else is set
};

// Reads `result` (named `name` in messages) and the pictures its line names in its folder.
Explorable explorableFrom(const std::filesystem::path &result, const QString &name);

// The regions of a line's word as snr.exe writes it: "x1,y1,x2,y2;..." or "ninguna".
std::vector<restore::DisplayRect> regionsOfWord(const std::string &word);

} // namespace report
