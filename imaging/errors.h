// What the image tools throw when their input is wrong; the tool frame (tool.h) turns either
// into one line on standard error and exit status 2.
#pragma once

#include <stdexcept>

namespace img {

// Bad image data or a file that cannot be read or written. The message is Spanish, one line,
// and names the file; it does not name the program (the tool frame adds that).
struct ImageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// Input that reads well but cannot be used: a PSF that is all zero, a length wider than the
// image. Spanish, one line, naming the value.
struct BadInput : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

} // namespace img
