// bench_viewer_floor: the least the viewer does before it can show anything, for
// bench/viewer.sh to measure it against: reads each file named and decodes every row, holding
// no more than the file and one row, as the viewer's own reader does.
//
//   bench_viewer_floor image.pgm [image.pgm ...]
#include "pnm.h"

#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    double sum = 0; // printed, so the decoding is not left out
    try {
        for (int i = 1; i < argc; ++i) {
            img::PnmRows rows(argv[i]);
            std::vector<double> row(static_cast<size_t>(rows.width()));
            for (int y = 0; y < rows.height(); ++y) {
                rows.next(row.data());
                sum += row[0];
            }
        }
    } catch (const img::ImageError &error) {
        std::fprintf(stderr, "bench_viewer_floor: %s\n", error.what());
        return 2;
    }
    std::printf("%g\n", sum);
    return 0;
}
