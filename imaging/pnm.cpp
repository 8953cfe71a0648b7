// PNM input and output for the image tools.
//
// Our own reader rather than Debian's libnetpbm: libnetpbm reports a bad file through its error
// handler, which ends in a longjmp (or exit) out of the library, across any C++ frames between:
// their destructors never run, so buffers leak and a half-written temporary is never removed,
// and no exception carries a Spanish one-line message to the tool frame. A reader that throws
// ImageError unwinds properly, keeps every error in the tool frame and can be fuzzed.
#include "pnm.h"

#include "dospath.h"
#include "folderlock.h"
#include "oserror.h"
#include "stagedfile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace img {

namespace fs = std::filesystem;

namespace {

std::string quoted(const std::string &name)
{
    return "«" + name + "»";
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Walks the bytes of one PNM image: the header, then the raster a row at a time, top to
// bottom. Every read checks the end of the data first.
class Decoder
{
public:
    Decoder(std::string_view bytes, const std::string &name)
        : b_(bytes)
        , name_(name)
    {
    }

    int width = 0;
    int height = 0;
    // The grey levels the samples stand on, as readPnm reports them.
    unsigned levels = 0;
    // The header's comment lines, without "#" and one blank after it.
    std::vector<std::string> comments;

    // Reads and checks the header, and that the data can hold the raster it announces.
    void header()
    {
        fields();
        requireRoom(size_t(width) * size_t(height) * channels_);
    }

    // Where the data the header declares ends: the header, then the raster it announces or,
    // for a plain raster, the most text it may take. 0 when the header runs to the end of the
    // bytes at hand, which may be only the start of a file; a bad header throws as header().
    size_t declaredEnd()
    {
        try {
            fields();
        } catch (const ImageError &) {
            if (pos_ >= b_.size())
                return 0;
            throw;
        }
        // A plain header's last number may go on in bytes not read yet.
        if (pos_ >= b_.size())
            return 0;
        const size_t samples = size_t(width) * size_t(height) * channels_;
        return pos_ + (plain_ ? samples * kPlainBytesPerSample : minimumRaster(samples));
    }

    // The most text a plain raster may take for each sample: five digits and their blanks
    // with room to spare, and the lines of a header-sized comment now and then.
    static constexpr size_t kPlainBytesPerSample = 24;

    bool plain() const { return plain_; }

    // Decodes the next row of the raster into `row`, `width` values on the 0..1 scale.
    void nextRow(double *row)
    {
        switch (kind_) {
        case '1':
            for (int x = 0; x < width; ++x)
                row[x] = plainBit() ? 0.0 : 1.0; // PBM: 1 is black
            break;
        case '4':
            rawBits(row);
            break;
        default:
            grey(row);
            break;
        }
    }

    Image decode()
    {
        header();
        Image image(width, height);
        for (int y = 0; y < height; ++y)
            nextRow(&image.px[size_t(y) * size_t(width)]);
        return image;
    }

private:
    // The header's fields, checked.
    void fields()
    {
        if (b_.size() < 2 || b_[0] != 'P' || b_[1] < '1' || b_[1] > '6')
            fail("no es una imagen PNM (PBM, PGM o PPM)");
        kind_ = b_[1];
        pos_ = 2;
        inHeader_ = true;
        width = int(headerNumber("el ancho"));
        height = int(headerNumber("el alto"));
        if (width < 1 || height < 1)
            fail("tiene una dimensión nula (" + std::to_string(width) + " × "
                 + std::to_string(height) + ")");
        if (width > kMaxSide || height > kMaxSide)
            fail("mide " + std::to_string(width) + " × " + std::to_string(height)
                 + " píxeles, más de " + std::to_string(kMaxSide) + " × "
                 + std::to_string(kMaxSide));
        const bool bitmap = kind_ == '1' || kind_ == '4';
        if (!bitmap) {
            maxval_ = headerNumber("el valor máximo");
            if (maxval_ < 1 || maxval_ > 65535)
                fail("tiene valor máximo " + std::to_string(maxval_)
                     + ", fuera del intervalo 1 a 65535");
        }
        inHeader_ = false;
        plain_ = kind_ <= '3';
        if (!plain_) {
            // Exactly one whitespace byte separates the header from binary samples.
            if (pos_ >= b_.size() || !isSpace(b_[pos_]))
                fail(pos_ >= b_.size() ? "está truncado" : "tiene una cabecera no válida");
            ++pos_;
        }
        channels_ = (kind_ == '3' || kind_ == '6') ? 3 : 1;
        levels = channels_ == 1 ? maxval_ : 0;
        scale_ = 1.0 / double(maxval_);
    }

    [[noreturn]] void fail(const std::string &what) const
    {
        throw ImageError("el archivo " + quoted(name_) + " " + what);
    }

    void skipSpaceAndComments()
    {
        while (pos_ < b_.size()) {
            if (isSpace(b_[pos_])) {
                ++pos_;
            } else if (b_[pos_] == '#') {
                const size_t start = ++pos_;
                while (pos_ < b_.size() && b_[pos_] != '\n' && b_[pos_] != '\r')
                    ++pos_;
                if (inHeader_)
                    keepComment(b_.substr(start, pos_ - start));
            } else {
                break;
            }
        }
    }

    // Only the header's comments are kept: a plain raster may hold any number of them, and
    // they say nothing about the image.
    void keepComment(std::string_view text)
    {
        if (!text.empty() && text[0] == ' ')
            text.remove_prefix(1);
        comments.emplace_back(text);
    }

    // A decimal number in the header or a plain raster. Large values stop at a bound far
    // above any legal one, so a long run of digits cannot overflow.
    static constexpr unsigned kTooLarge = 100000000;
    unsigned number(const char *notANumber, const char *what = "")
    {
        skipSpaceAndComments();
        if (pos_ >= b_.size())
            fail("está truncado");
        if (b_[pos_] < '0' || b_[pos_] > '9')
            fail(std::string(notANumber) + what);
        unsigned value = 0;
        const char *end = b_.data() + b_.size();
        const auto [stop, error] = std::from_chars(b_.data() + pos_, end, value);
        pos_ = size_t(stop - b_.data());
        return error == std::errc() ? std::min(value, kTooLarge) : kTooLarge;
    }

    unsigned headerNumber(const char *what)
    {
        const unsigned value = number("tiene una cabecera no válida: falta ", what);
        if (pos_ < b_.size() && !isSpace(b_[pos_]) && b_[pos_] != '#')
            fail(std::string("tiene una cabecera no válida: ") + what + " no es un número");
        return value;
    }

    // Refuses before allocating when the rest of the file cannot hold the raster: a
    // header that promises 16384 × 16384 pixels in ten bytes is a truncated file, not a
    // reason to claim two gigabytes.
    void requireRoom(size_t samples) const
    {
        if (b_.size() - pos_ < minimumRaster(samples))
            fail("está truncado");
    }

    // The fewest bytes a raster of `samples` takes.
    size_t minimumRaster(size_t samples) const
    {
        size_t need = 0;
        switch (kind_) {
        case '1':
            need = samples; // plain PBM digits need no separators
            break;
        case '2':
        case '3':
            need = 2 * samples - 1;
            break;
        case '4':
            need = size_t((width + 7) / 8) * size_t(height);
            break;
        default:
            need = samples * (maxval_ > 255 ? 2 : 1);
            break;
        }
        return need;
    }

    bool plainBit()
    {
        skipSpaceAndComments();
        if (pos_ >= b_.size())
            fail("está truncado");
        const char c = b_[pos_++];
        if (c != '0' && c != '1')
            fail("tiene un píxel no válido en un PBM (solo 0 o 1)");
        return c == '1';
    }

    void rawBits(double *row)
    {
        const auto *bits = reinterpret_cast<const unsigned char *>(b_.data() + pos_);
        for (int x = 0; x < width; ++x) {
            const bool black = (bits[x / 8] >> (7 - x % 8)) & 1;
            row[x] = black ? 0.0 : 1.0;
        }
        pos_ += size_t((width + 7) / 8);
    }

    [[noreturn]] void tooLarge(unsigned value) const
    {
        fail("tiene un píxel de valor " + std::to_string(value) + ", mayor que su máximo "
             + std::to_string(maxval_));
    }

    unsigned sample()
    {
        unsigned value;
        if (plain_) {
            value = number("tiene un píxel que no es un número");
        } else if (maxval_ > 255) {
            const auto *p = reinterpret_cast<const unsigned char *>(b_.data() + pos_);
            value = unsigned(p[0]) << 8 | p[1];
            pos_ += 2;
        } else {
            value = static_cast<unsigned char>(b_[pos_++]);
        }
        if (value > maxval_)
            tooLarge(value);
        return value;
    }

    // Binary PGM, the tools' own format: one pass without per-sample branching on the
    // format, the check against maxval folded into one comparison at the end of the row.
    void rawGrey(double *row)
    {
        const auto *p = reinterpret_cast<const unsigned char *>(b_.data() + pos_);
        unsigned largest = 0;
        if (maxval_ > 255) {
            for (int x = 0; x < width; ++x, p += 2) {
                const unsigned q = unsigned(p[0]) << 8 | p[1];
                largest = std::max(largest, q);
                row[x] = q * scale_;
            }
        } else {
            for (int x = 0; x < width; ++x, ++p) {
                largest = std::max(largest, unsigned(*p));
                row[x] = *p * scale_;
            }
        }
        pos_ = size_t(reinterpret_cast<const char *>(p) - b_.data());
        if (largest > maxval_)
            tooLarge(largest);
    }

    void grey(double *row)
    {
        if (channels_ == 1 && !plain_) {
            rawGrey(row);
            return;
        }
        if (channels_ == 1) {
            for (int x = 0; x < width; ++x)
                row[x] = sample() * scale_;
            return;
        }
        // Rec. 601 luma, as ppmtopgm computes it.
        for (int x = 0; x < width; ++x) {
            const double r = sample();
            const double g = sample();
            const double b = sample();
            row[x] = (0.299 * r + 0.587 * g + 0.114 * b) * scale_;
        }
    }

    std::string_view b_;
    const std::string &name_;
    size_t pos_ = 0;
    char kind_ = 0;
    bool inHeader_ = false;
    unsigned maxval_ = 1;
    bool plain_ = false;
    size_t channels_ = 1;
    double scale_ = 1.0;
};

// Splits a path into its folder and the entry the folder holds under another case, if any.
fs::path resolve(const std::string &path)
{
    const fs::path p(path);
    const fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
    return dos::findInFolder(folder, p.filename().string());
}

[[noreturn]] void cannotRead(const std::string &name, int error)
{
    throw ImageError("no se puede leer el archivo " + quoted(name) + ": "
                     + dos::spanishReason(error));
}

// Reads from `fd` until `bytes` holds `size` bytes or the file ends.
void readUpTo(int fd, std::string &bytes, size_t size, const std::string &name)
{
    size_t done = bytes.size();
    bytes.resize(size);
    while (done < size) {
        const ssize_t n = ::read(fd, bytes.data() + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            cannotRead(name, error);
        }
        if (n == 0)
            break; // shrank while we read: the decoder reports it as truncated
        done += size_t(n);
    }
    bytes.resize(done);
}

// The header and the raster it declares, and no more of the file: what follows the raster is
// left unread, as Netpbm reads the first image of a stream, so memory follows the header and
// not the file's size. A plain raster has no fixed length: a file longer than its samples'
// text can be is refused.
std::string readDeclared(const fs::path &file, const std::string &name)
{
    // The first read holds any header the tools write; a longer one doubles it.
    constexpr size_t kFirstRead = 64 * 1024;
    constexpr size_t kLongestHeader = 16 * 1024 * 1024;
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        cannotRead(name, errno);
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        cannotRead(name, error);
    }
    const size_t size = size_t(st.st_size);
    std::string bytes;
    size_t want = std::min(size, kFirstRead);
    for (;;) {
        readUpTo(fd, bytes, want, name);
        if (bytes.size() < want || bytes.size() == size)
            break;
        Decoder decoder(bytes, name);
        const size_t end = decoder.declaredEnd(); // throws for a bad header
        if (end == 0 && want >= kLongestHeader) {
            ::close(fd);
            throw ImageError("el archivo " + quoted(name) + " tiene una cabecera de más de "
                             + std::to_string(kLongestHeader >> 20) + " MB");
        }
        if (end == 0) {
            want = std::min(size, 2 * want);
        } else if (end <= bytes.size() && !decoder.plain()) {
            bytes.resize(end);
            break;
        } else if (end < size && decoder.plain()) {
            ::close(fd);
            throw ImageError("el archivo " + quoted(name) + " tiene más texto ("
                             + std::to_string(size) + " bytes) del que caben sus "
                             + std::to_string(decoder.width) + " × "
                             + std::to_string(decoder.height) + " píxeles");
        } else {
            want = std::min(size, end);
        }
    }
    ::close(fd);
    return bytes;
}

[[noreturn]] void cannotWrite(const std::string &name, const std::string &reason)
{
    throw ImageError("no se puede escribir el archivo " + quoted(name) + ": " + reason);
}

// An image's own rows, as a RowSource.
RowSource rowsOf(const Image &image)
{
    return [&image](int y, double *) { return &image.px[size_t(y) * size_t(image.width)]; };
}

// The header of a binary PGM, its comments on lines of their own after the magic number.
std::string pgmHeader(int width, int height, unsigned maxval,
                      const std::vector<std::string> &comments)
{
    std::string header = "P5\n";
    for (const std::string &comment : comments) {
        std::string line = comment.empty() ? "#" : "# " + comment;
        std::replace_if(
            line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
        header += line + "\n";
    }
    return header + std::to_string(width) + " " + std::to_string(height) + "\n"
        + std::to_string(maxval) + "\n";
}

} // namespace

Image decodePnm(std::string_view bytes, const std::string &name)
{
    return Decoder(bytes, name).decode();
}

struct PnmRows::State
{
    State(const std::string &path)
        : name(fs::path(path).filename().string())
        , bytes(readDeclared(resolve(path), name))
        , decoder(bytes, name)
    {
        decoder.header();
    }
    const std::string name;
    const std::string bytes;
    Decoder decoder;
    int rowsRead = 0;
};

PnmRows::PnmRows(const std::string &path)
    : state_(std::make_unique<State>(path))
{
}

PnmRows::~PnmRows() = default;

int PnmRows::width() const
{
    return state_->decoder.width;
}

int PnmRows::height() const
{
    return state_->decoder.height;
}

unsigned PnmRows::levels() const
{
    return state_->decoder.levels;
}

const std::vector<std::string> &PnmRows::comments() const
{
    return state_->decoder.comments;
}

void PnmRows::next(double *row)
{
    // The header vouched for `height` rows of data, and no more.
    if (state_->rowsRead++ >= height())
        throw std::out_of_range("img::PnmRows::next: past the last row");
    state_->decoder.nextRow(row);
}

Image readPnm(const std::string &path, unsigned *levels, std::vector<std::string> *comments)
{
    PnmRows rows(path);
    Image image(rows.width(), rows.height());
    for (int y = 0; y < image.height; ++y)
        rows.next(&image.px[size_t(y) * size_t(image.width)]);
    if (levels)
        *levels = rows.levels();
    if (comments)
        *comments = rows.comments();
    return image;
}

std::vector<std::string> readPnmComments(const std::string &path)
{
    // The file is read and its header checked, as for its pixels: a file the tools
    // would refuse has no history to tell.
    return PnmRows(path).comments();
}

std::string encodePgm(int width, int height, int bits, const RowSource &row,
                      const std::vector<std::string> &comments)
{
    const unsigned maxval = bits == 16 ? 65535 : 255;
    std::string out = pgmHeader(width, height, maxval, comments);
    const size_t header = out.size();
    const size_t bytesPerSample = bits == 16 ? 2 : 1;
    out.resize(header + size_t(width) * size_t(height) * bytesPerSample);
    auto *dst = reinterpret_cast<unsigned char *>(out.data() + header);
    std::vector<double> scratch(size_t(std::max(width, 0)));
    for (int y = 0; y < height; ++y) {
        const double *values = row(y, scratch.data());
        for (int x = 0; x < width; ++x) {
            const unsigned q = quantise(values[x], maxval);
            if (bytesPerSample == 2) {
                *dst++ = static_cast<unsigned char>(q >> 8);
                *dst++ = static_cast<unsigned char>(q & 0xff);
            } else {
                *dst++ = static_cast<unsigned char>(q);
            }
        }
    }
    return out;
}

std::string encodePgm(const Image &image, int bits, const std::vector<std::string> &comments)
{
    return encodePgm(image.width, image.height, bits, rowsOf(image), comments);
}

void writePgm(const std::string &path, const Image &image, int bits,
              const std::vector<std::string> &comments)
{
    writePgm(path, image.width, image.height, bits, rowsOf(image), comments);
}

void writePgm(const std::string &path, int width, int height, int bits, const RowSource &row,
              const std::vector<std::string> &comments)
{
    const std::string name = fs::path(path).filename().string();
    const fs::path target = resolve(path);
    const std::string bytes = encodePgm(width, height, bits, row, comments);

    // A device (a link to /dev/null, say) is written as it is: it cannot be replaced, and
    // should not be.
    std::error_code ignored;
    if (fs::exists(target, ignored) && !fs::is_regular_file(target, ignored)
        && !fs::is_directory(target, ignored)) {
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            cannotWrite(name, dos::spanishReason(errno));
        int error = dos::writeWhole(fd, bytes);
        if (::close(fd) != 0 && error == 0) // a full disk may show only here, on NFS
            error = errno;
        if (error)
            cannotWrite(name, dos::spanishReason(error));
        return;
    }
    // The temporary lies beside the target, so the rename stays within one file system and is
    // atomic: readers and a second writer see the old image or the new one. The next run of a
    // tool makes its output again, so it is not flushed to disk: a tool stays as fast as its
    // floor.
    dos::StagedFile file(target, dos::StagedFile::Flush::Later);
    if (!file.write(bytes))
        cannotWrite(name, file.reason());
    // The name is resolved again, under the folder's lock, right before the rename: another
    // writer may have made the file under another case while this one was writing.
    const dos::FolderLock lock(target.parent_path());
    if (!file.commitAs(resolve(path)))
        cannotWrite(name, file.reason());
}

} // namespace img
