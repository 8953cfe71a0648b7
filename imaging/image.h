// A grey image held as doubles, the one currency of the image tools.
#pragma once

#include <cstddef>
#include <vector>

namespace img {

// Row-major grey levels on the 0..1 scale (0 black, 1 the file's maxval). Filters may leave
// values outside 0..1; writing clamps them.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<double> px;

    Image() = default;
    Image(int w, int h, double fill = 0.0)
        : width(w)
        , height(h)
        , px(size_t(w) * size_t(h), fill)
    {
    }
    double &at(int x, int y) { return px[size_t(y) * size_t(width) + size_t(x)]; }
    double at(int x, int y) const { return px[size_t(y) * size_t(width) + size_t(x)]; }
    size_t size() const { return px.size(); }
};

} // namespace img
