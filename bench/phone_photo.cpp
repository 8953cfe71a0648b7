// bench_phone_photo: writes a phone-sized JPEG for the importer's benchmark.
//
//   bench_phone_photo WIDTH HEIGHT FILE
//
// A colour gradient with some grain, at quality 90: close to what a phone's photograph costs
// to decode, which a flat picture would not be.
#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 4) {
        std::fputs("uso: bench_phone_photo ANCHO ALTO ARCHIVO\n", stderr);
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull()) {
        std::fputs("bench_phone_photo: no hay memoria para la imagen\n", stderr);
        return 1;
    }
    QRandomGenerator grain(24);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = int(grain.bounded(32)) - 16;
            row[x] = qRgb(qBound(0, 255 * x / width + noise, 255),
                          qBound(0, 255 * y / height + noise, 255), qBound(0, 128 + noise, 255));
        }
    }
    QImageWriter writer(QString::fromLocal8Bit(argv[3]), "jpeg");
    writer.setQuality(90);
    if (!writer.write(picture)) {
        std::fprintf(stderr, "bench_phone_photo: %s\n", qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
