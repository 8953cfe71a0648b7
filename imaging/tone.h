// Mapping grey levels onto the 0..1 range of an output file.
#pragma once

#include "image.h"

#include <utility>
#include <vector>

namespace img {

// Maps the darkest value to 0 and the brightest to 1; a flat image becomes all 0.
Image stretchMinMax(Image image);

// The values at the `low` and `high` fractions (0..1) of `values` in ascending order, by
// nearest rank: 0 the least, 1 the greatest.
std::pair<double, double> quantiles(const std::vector<double> &values, double low, double high);

// Maps the `low` quantile to 0 and the `high` quantile to 1 (fractions, e.g. 0.01 and 0.99),
// clamping beyond them: a few extreme pixels then cannot flatten the rest, as they do under
// stretchMinMax. A flat image becomes all 0.
Image stretchPercentile(Image image, double low, double high);

} // namespace img
