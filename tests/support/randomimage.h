// Reproducible noise images for the imaging tests.
#pragma once

#include "image.h"

#include <random>

inline img::Image randomImage(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> dist(0.0, 1.0);
    img::Image image(w, h);
    for (double &v : image.px)
        v = dist(rng);
    return image;
}
