// Spanish agreement with a count: "1 columna", "2 columnas", "se esperaba 1 argumento".
#pragma once

#include <cstddef>

namespace img {

// `one` for a count of exactly one, `many` for any other (Spanish says "0 columnas").
inline const char *agree(std::size_t count, const char *one, const char *many)
{
    return count == 1 ? one : many;
}

} // namespace img
