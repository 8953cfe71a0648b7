// What a restoration's report adds to show the choice its tool asked for: beside Wiener's k or
// the inverse filter's threshold, the curve of PSNR over the values around it; beside the
// regions a structured-noise removal zeroed, the spectrum before and after with those regions
// drawn where snr.exe took them.
#pragma once

#include "imageload.h"
#include "labreport.h"

#include <optional>

namespace report {

// Adds to `report` (a restoration's, its spectrum already taken) what `result`'s last line
// chose; `source` is the distorted image it was made from, when still as it was.
void addChoice(LabReport &report, const picture::LoadedImage &result,
               const std::optional<picture::LoadedImage> &source);

// The regions of snr.exe's "regiones=x1,y1,x2,y2;..." word, in the spectrum's coordinates;
// none for "ninguna" or a word that is not such a list.
std::vector<QRect> zeroedRegions(const QString &line);

} // namespace report
