// The two loops SSIM spends its time in, on whole blocks of values: the window's weighted sums
// and a row's figures. Inside the imaging library only (quality.cpp).
#pragma once

#include <array>
#include <cstddef>

namespace img::ssim_kernels {

// scikit-image's SSIM window: the Gaussian of σ = 1.5 truncated at 3.5 σ, radius
// int(3.5 σ + 0.5) = 5.
constexpr int kRadius = 5;
constexpr int kSide = 2 * kRadius + 1;
constexpr double kC1 = 0.01 * 0.01; // (K1 · data range)²
constexpr double kC2 = 0.03 * 0.03;

// Rows are padded to whole blocks of this many values.
constexpr size_t kLanes = 8;

// out[i] = Σ w[k] · rows[k][i] over the 11 rows, for i < n, a multiple of kLanes: both
// directions of the filter, along a row (rows[k] = in + k) and down the columns (rows[k] the
// sums along row k of the window). w is symmetric.
void weightedSum(float *out, const std::array<const float *, kSide> &rows,
                 const std::array<float, kSide> &w, size_t n);

// The sum of one row's SSIM over its first `inner` columns, from its window sums of a and b
// centred on mid grey (ma, mb), of their squares and of their product. The arrays hold
// `inner` rounded up to whole blocks, the padding finite; it is never added.
double rowTotal(const float *ma, const float *mb, const float *maa, const float *mbb,
                const float *mab, size_t inner);

} // namespace img::ssim_kernels
