// Mapping grey levels onto the 0..1 range of an output file.
#pragma once

#include "image.h"

namespace img {

// Maps the darkest value to 0 and the brightest to 1; a flat image becomes all 0.
Image stretchMinMax(const Image &image);

// Maps the `low` quantile to 0 and the `high` quantile to 1 (fractions, e.g. 0.01 and 0.99),
// clamping beyond them: a few extreme pixels then cannot flatten the rest, as they do under
// stretchMinMax. A flat image becomes all 0.
Image stretchPercentile(const Image &image, double low, double high);

} // namespace img
