// SSIM's kernels built for the baseline processor alone, under a name of their own: the test
// compares them with the library's, which take AVX2 where the processor has it.
#define TAVELIO_BASELINE_ONLY
#define ssim_kernels ssim_kernels_baseline
#include "../ssimkernels.cpp"
