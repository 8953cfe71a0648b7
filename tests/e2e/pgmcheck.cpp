// pgmcheck: what the end-to-end test asks of an image.
//
//   pgmcheck size IMAGE          prints "WIDTH HEIGHT MAXVAL"
//   pgmcheck psnr IMAGE REFERENCE  prints the PSNR in dB ("inf" for identical images)
//   pgmcheck comments IMAGE      prints the header's comment lines, how the image was made

#include "pnm.h"
#include "quality.h"

#include <cmath>
#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (command == "size" && argc == 3) {
            unsigned maxval = 0;
            const img::Image image = img::readPnm(argv[2], &maxval);
            std::printf("%d %d %u\n", image.width, image.height, maxval);
            return 0;
        }
        if (command == "comments" && argc == 3) {
            for (const std::string &line : img::readPnmComments(argv[2]))
                std::printf("%s\n", line.c_str());
            return 0;
        }
        if (command == "psnr" && argc == 4) {
            const double db = img::psnr(img::quantised(img::readPnm(argv[2]), 16),
                                        img::quantised(img::readPnm(argv[3]), 16));
            std::isinf(db) ? std::printf("inf\n") : std::printf("%.2f\n", db);
            return 0;
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "pgmcheck: %s\n", error.what());
        return 2;
    }
    std::fprintf(stderr,
                 "uso: pgmcheck size IMAGEN | pgmcheck psnr IMAGEN REFERENCIA | "
                 "pgmcheck comments IMAGEN\n");
    return 1;
}
