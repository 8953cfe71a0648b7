// Mirror padding: what a filter that should not treat the image as periodic puts around it
// before a circular FFT, so that the opposite borders do not bleed into each other.
#pragma once

namespace img {

// The index in 0..n-1 that position i of a line of n values takes when the line is mirrored
// about its ends with the edge value repeated (..., 1, 0 | 0, 1, ..., n-1 | n-1, n-2, ...);
// positions farther out keep reflecting, with period 2n.
inline int reflect(int i, int n)
{
    const int period = 2 * n;
    int k = i % period;
    if (k < 0)
        k += period;
    return k < n ? k : period - 1 - k;
}

} // namespace img
