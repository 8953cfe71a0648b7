// pgmcheck: what the end-to-end test asks of an image.
//
//   pgmcheck size IMAGE          prints "WIDTH HEIGHT MAXVAL"
//   pgmcheck psnr IMAGE REFERENCE  prints the PSNR in dB ("inf" for identical images)

#include "pnm.h"
#include "quality.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

static int maxval(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int width = 0;
    int height = 0;
    int value = 0;
    in >> magic >> width >> height >> value;
    return value;
}

int main(int argc, char **argv)
{
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        if (command == "size" && argc == 3) {
            const img::Image image = img::readPnm(argv[2]);
            std::printf("%d %d %d\n", image.width, image.height, maxval(argv[2]));
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
    std::fprintf(stderr, "uso: pgmcheck size IMAGEN | pgmcheck psnr IMAGEN REFERENCIA\n");
    return 1;
}
