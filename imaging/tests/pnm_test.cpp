// The PNM reader on every kind of file it accepts and the ways a file can be wrong; the
// writer's encoding, its atomic replacement and its case-blind names.
#include "check.h"
#include "pnm.h"
#include "tempdir.h"

#include <atomic>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace img;

namespace {

std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(char(v));
    return s;
}

Image decode(const std::string &data)
{
    return decodePnm(data, "x.pgm");
}

// Expects decodePnm to refuse `data` with a one-line message naming the file.
void expectRefused(const std::string &data, const char *label)
{
    std::string message;
    CHECK_THROWS(decodePnm(data, "mala.pgm"), ImageError, message);
    const bool good = message.find("«mala.pgm»") != std::string::npos
        && message.find('\n') == std::string::npos;
    check::report(good, __FILE__, __LINE__, std::string(label) + ": " + message);
}

void testPlainFormats()
{
    // PBM: 1 is black; plain digits need no separators; comments anywhere in the header.
    Image bits = decode("P1\n# comentario\n3 2\n101\n0 1 0");
    CHECK(bits.width == 3 && bits.height == 2);
    CHECK(bits.px == (std::vector<double> {0, 1, 0, 1, 0, 1}));

    Image grey = decode("P2 #a\n2 #b\n2\n# c\n4\n0 1\n2 4\n");
    CHECK(grey.px == (std::vector<double> {0, 0.25, 0.5, 1}));

    // PPM to luminance with Rec. 601 weights.
    Image colour = decode("P3\n2 1\n255\n255 0 0  0 0 255\n");
    CHECK_NEAR(colour.px[0], 0.299, 1e-12);
    CHECK_NEAR(colour.px[1], 0.114, 1e-12);
}

void testBinaryFormats()
{
    // P4 rows are padded to whole bytes: a 10-pixel row takes two.
    Image bits = decode("P4\n10 2\n" + bytes({0x80, 0x40, 0xff, 0xc0}));
    CHECK(bits.at(0, 0) == 0 && bits.at(1, 0) == 1 && bits.at(9, 0) == 0 && bits.at(8, 0) == 1);
    for (int x = 0; x < 10; ++x)
        CHECK(bits.at(x, 1) == 0);

    Image grey = decode("P5\n3 1\n255\n" + bytes({0, 51, 255}));
    CHECK_NEAR(grey.px[1], 0.2, 1e-15);

    // Above 255 two bytes per sample, most significant first.
    Image deep = decode("P5 2 1 65535\n" + bytes({0x01, 0x02, 0xff, 0xff}));
    CHECK_NEAR(deep.px[0], 258.0 / 65535.0, 1e-15);
    CHECK(deep.px[1] == 1.0);

    Image rgb = decode("P6\n1 1\n255\n" + bytes({0, 255, 0}));
    CHECK_NEAR(rgb.px[0], 0.587, 1e-12);

    // Bytes after the raster (a second image of a multi-image file) are ignored.
    CHECK(decode("P5 1 1 255\n" + bytes({10}) + "P5 1 1 255\n").width == 1);
}

void testMaxvalEdges()
{
    CHECK(decode("P2 2 1 1 0 1").px == (std::vector<double> {0, 1}));
    CHECK(decode("P2 1 1 65535 65535").px[0] == 1.0);
    expectRefused("P2 1 1 0 0", "maxval 0");
    expectRefused("P2 1 1 65536 0", "maxval 65536");
    expectRefused("P5 1 1 99999999999999999999\n" + bytes({0}), "maxval desbordado");
    expectRefused("P2 1 1 255 256", "muestra mayor que maxval");
    expectRefused("P5 1 1 200\n" + bytes({201}), "muestra binaria mayor que maxval");
}

void testSizes()
{
    expectRefused("P5 16385 1 255\n", "ancho excesivo");
    expectRefused("P5 1 16385 255\n", "alto excesivo");
    expectRefused("P5 0 5 255\n", "ancho nulo");
    // The largest side is legal: refused here only for want of data, not for its size.
    std::string message;
    CHECK_THROWS(decode("P5 16384 1 255\n"), ImageError, message);
    CHECK(message.find("truncado") != std::string::npos);
}

void testTruncationAndGarbage()
{
    expectRefused("", "vacío");
    expectRefused("P", "solo la P");
    expectRefused("P7 1 1 255\n", "formato desconocido");
    expectRefused("GIF89a", "otro formato");
    expectRefused("P5 2 2", "cabecera cortada");
    expectRefused("P5 2 2 255", "sin separador tras la cabecera");
    expectRefused("P5 2 2 255\n" + bytes({1, 2, 3}), "falta un byte");
    expectRefused("P5 2 1 65535\n" + bytes({1, 2, 3}), "16 bits, falta un byte");
    expectRefused("P4 9 2\n" + bytes({0, 0, 0}), "PBM binario corto");
    expectRefused("P2 2 2 255 1 2 3", "falta una muestra");
    expectRefused("P3 1 1 255 1 2", "falta un canal");
    expectRefused("P1 2 2 0 1 2 0", "dígito PBM no válido");
    expectRefused("P2 2 x 255", "alto no numérico");
    expectRefused("P2 2 2a 255 1 2 3 4", "alto con letras");
    expectRefused("P2 1 1 255 x", "muestra no numérica");
}

void testEncoding()
{
    Image image(3, 1);
    image.px = {-0.5, 0.5, 2.0};
    const std::string eight = encodePgm(image, 8);
    CHECK(eight == "P5\n3 1\n255\n" + bytes({0, 128, 255}));
    const std::string sixteen = encodePgm(image, 16);
    CHECK(sixteen == "P5\n3 1\n65535\n" + bytes({0, 0, 0x80, 0x00, 0xff, 0xff}));
    // 16 bits keep what 8 bits lose.
    Image fine(1, 1);
    fine.px = {1000.0 / 65535.0};
    CHECK_NEAR(decode(encodePgm(fine, 16)).px[0], fine.px[0], 1e-15);
    CHECK(std::abs(decode(encodePgm(fine, 8)).px[0] - fine.px[0]) > 1e-4);

    // Comments grow the header alone, and read back as given; a line break within one cannot
    // end the header early.
    const std::vector<std::string> lines {"align.exe a.pgm", "", " dos\ntres"};
    const std::string commented = encodePgm(image, 8, lines);
    CHECK(commented.substr(commented.size() - 3) == eight.substr(eight.size() - 3));
    CHECK(decode(commented).px == decode(eight).px);
    TempDir dir;
    writePgm(dir.file("c.pgm"), image, 16, lines);
    CHECK(readPnmComments(dir.file("c.pgm"))
          == (std::vector<std::string> {"align.exe a.pgm", "", " dos tres"}));
}

void testFilesAndCase()
{
    TempDir dir;
    Image image(2, 2, 0.0);
    image.px[3] = 1.0;
    writePgm(dir.file("Distor.pgm"), image, 16);
    // Asked for another case, the reader finds the file and the writer replaces it.
    CHECK(readPnm(dir.file("DISTOR.PGM")).px == image.px);
    Image other(2, 2, 1.0);
    writePgm(dir.file("distor.pgm"), other, 8);
    CHECK(dir.listing() == "Distor.pgm ");
    CHECK(readPnm(dir.file("distor.pgm")).px == other.px);

    std::string message;
    CHECK_THROWS(readPnm(dir.file("falta.pgm")), ImageError, message);
    CHECK(message.find("«falta.pgm»") != std::string::npos);
    CHECK(message.find("no existe") != std::string::npos);
    CHECK_THROWS(readPnm(dir.path.string()), ImageError, message);

    // A folder that does not exist: an error, and no temporary left anywhere.
    CHECK_THROWS(writePgm(dir.file("no/hay/x.pgm"), image, 8), ImageError, message);
    CHECK(message.find("«x.pgm»") != std::string::npos);
    CHECK(dir.listing() == "Distor.pgm ");

    // A full disk is named as such, and the device behind the link is written, not replaced.
    std::filesystem::create_symlink("/dev/full", dir.path / "lleno.pgm");
    CHECK_THROWS(writePgm(dir.file("lleno.pgm"), image, 8), ImageError, message);
    CHECK(message.find("«lleno.pgm»: no queda espacio") != std::string::npos);
    CHECK(std::filesystem::is_symlink(dir.path / "lleno.pgm"));
    CHECK(dir.listing() == "Distor.pgm lleno.pgm ");
}

// Row by row: the file's levels are known at once, a bad sample only when its row is read,
// and a row from a rewritten image goes to the file as given.
void testRows()
{
    TempDir dir;
    dir.write("x.pgm", "P5 2 2 200\n" + bytes({0, 200, 201, 0}));
    PnmRows rows(dir.file("X.PGM"));
    CHECK(rows.width() == 2 && rows.height() == 2 && rows.levels() == 200);
    double row[2];
    rows.next(row);
    CHECK(row[0] == 0.0 && row[1] == 1.0);
    std::string message;
    CHECK_THROWS(rows.next(row), ImageError, message);
    CHECK(message.find("201") != std::string::npos);
    CHECK_THROWS(rows.next(row), std::out_of_range, message);

    dir.write("c.ppm", "P6 1 1 255\n" + bytes({1, 2, 3}));
    CHECK(PnmRows(dir.file("c.ppm")).levels() == 0);

    writePgm(dir.file("y.pgm"), 2, 2, 8, [](int y, double *scratch) {
        scratch[0] = y, scratch[1] = 0.5;
        return scratch;
    });
    CHECK(readPnm(dir.file("y.pgm")).px == (std::vector<double> {0, 128 / 255.0, 1, 128 / 255.0}));
}

// Header comments come back in order, without "#" and one blank, wherever the header has
// them; a plain raster's are skipped, and none of them changes a pixel.
void testComments()
{
    TempDir dir;
    dir.write("Gris.pgm", "P2 #a\n2 #  b\n1\n#\n# c d\r\n4\n1 # raster\n4\n");
    const std::vector<std::string> expected {"a", " b", "", "c d"};
    CHECK(readPnmComments(dir.file("gris.PGM")) == expected);
    std::vector<std::string> comments;
    unsigned levels = 0;
    CHECK(readPnm(dir.file("gris.pgm"), &levels, &comments).px == (std::vector<double> {0.25, 1}));
    CHECK(comments == expected && levels == 4);
    dir.write("b.pgm", "P5\n# uno\n# dos\n1 1\n255\n#");
    CHECK(PnmRows(dir.file("b.pgm")).comments() == (std::vector<std::string> {"uno", "dos"}));
    CHECK(readPnmComments(dir.file("b.pgm")).size() == 2);

    std::string message;
    CHECK_THROWS(readPnmComments(dir.file("falta.pgm")), ImageError, message);
    CHECK(message.find("«falta.pgm»: no existe") != std::string::npos);
    dir.write("corta.pgm", "P5\n# uno\n2 2\n255\n");
    CHECK_THROWS(readPnmComments(dir.file("corta.pgm")), ImageError, message);
}

long peakKilobytes()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A file far longer than its header says (a sparse 3 GB behind a 1000 × 1000 raster) is read
// up to the raster and no further: memory follows the header. A plain raster cannot be read
// that way and is refused; a header longer than the first read is still found whole.
void testFileLongerThanItsHeader()
{
    TempDir dir;
    const std::string header = "P5\n1000 1000\n255\n";
    std::string raster(1000 * 1000, char(255));
    raster[0] = 0;
    dir.write("larga.pgm", header + raster + "P5\n1 1\n255\n");
    CHECK(::truncate(dir.file("larga.pgm").c_str(), 3LL << 30) == 0);
    const long before = peakKilobytes();
    const Image image = readPnm(dir.file("larga.pgm"));
    CHECK(image.width == 1000 && image.height == 1000);
    CHECK(image.px[0] == 0.0 && image.px[1] == 1.0 && image.px.back() == 1.0);
    CHECK(peakKilobytes() - before < 100 * 1024);

    dir.write("texto.pgm", "P2 2 1 255\n0 255\n");
    CHECK(readPnm(dir.file("texto.pgm")).px == (std::vector<double> {0, 1}));
    CHECK(::truncate(dir.file("texto.pgm").c_str(), 1LL << 30) == 0);
    std::string message;
    CHECK_THROWS(readPnm(dir.file("texto.pgm")), ImageError, message);
    CHECK(message.find("«texto.pgm» tiene más texto") != std::string::npos);
    CHECK(peakKilobytes() - before < 100 * 1024);

    std::string comments;
    for (int i = 0; i < 20000; ++i)
        comments += "# paso " + std::to_string(i) + "\n";
    dir.write("historia.pgm", "P5\n" + comments + "2 1\n255\n" + bytes({0, 255}) + "basura");
    std::vector<std::string> kept;
    CHECK(readPnm(dir.file("historia.pgm"), nullptr, &kept).px == (std::vector<double> {0, 1}));
    CHECK(kept.size() == 20000 && kept.back() == "paso 19999");
}

void testConcurrentWriters()
{
    // Two writers replace one file over and over while a reader keeps reading it: every
    // read must find one whole image, never a mixture or a short file. Meanwhile a third
    // thread creates files of its own, which the writers must not give other permissions
    // (they once cleared the umask for a moment to read it).
    const mode_t oldMask = ::umask(027);
    TempDir dir;
    const Image dark(64, 48, 0.0), light(64, 48, 1.0);
    writePgm(dir.file("align.pgm"), dark, 8);
    std::atomic<bool> stop = false;
    auto writer = [&](const Image &image) {
        for (int i = 0; i < 200; ++i)
            writePgm(dir.file("align.pgm"), image, 8);
    };
    int bad = 0, reads = 0;
    std::thread reader([&] {
        while (!stop) {
            try {
                const Image seen = readPnm(dir.file("align.pgm"));
                const double first = seen.px[0];
                for (double v : seen.px)
                    bad += v != first;
            } catch (const ImageError &) {
                ++bad;
            }
            ++reads;
        }
    });
    int wrongMode = 0;
    std::thread creator([&] {
        const std::string other = dir.file("otro");
        while (!stop) {
            ::close(::open(other.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666));
            struct stat st
            {
            };
            wrongMode += ::stat(other.c_str(), &st) != 0 || (st.st_mode & 0777) != 0640;
            ::unlink(other.c_str());
        }
    });
    std::thread a(writer, std::cref(dark)), b(writer, std::cref(light));
    a.join();
    b.join();
    stop = true;
    reader.join();
    creator.join();
    CHECK(bad == 0);
    CHECK(reads > 0);
    CHECK(wrongMode == 0);
    struct stat st
    {
    };
    CHECK(::stat(dir.file("align.pgm").c_str(), &st) == 0 && (st.st_mode & 0777) == 0640);
    CHECK(dir.listing() == "align.pgm ");
    ::umask(oldMask);
}

} // namespace

int main()
{
    testPlainFormats();
    testBinaryFormats();
    testMaxvalEdges();
    testSizes();
    testTruncationAndGarbage();
    testEncoding();
    testFilesAndCase();
    testRows();
    testComments();
    testFileLongerThanItsHeader();
    testConcurrentWriters();
    return check::summary();
}
