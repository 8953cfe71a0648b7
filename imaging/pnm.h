// PNM input and output for the image tools.
//
// Reads PGM (P2, P5; maxval 1..65535), PPM (P3, P6; to luminance) and PBM (P1, P4). Writes
// binary PGM, 8 or 16 bits, through a temporary file in the target's folder that is renamed
// over the target (dos::StagedFile), so a reader never sees half an image; a device under the
// target's name (a link to /dev/null, say) is the one exception, written in place.
//
// The comment lines of a header ("# ..." up to the line's end) are kept apart as text: the
// tools write there how an image was made, one line a step, and copy their input's lines.
#pragma once

#include "errors.h"
#include "image.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace img {

constexpr int kMaxSide = 16384;

// Decodes a whole PNM file held in memory; `name` is used in messages only.
Image decodePnm(std::string_view bytes, const std::string &name);

// Reads a PNM file; the name is resolved in its folder without regard to letter case.
// `levels`, when given, receives the grey levels the samples stand on: the file's maxval for
// a grey image (1 for a bitmap), so every value is k / levels; 0 for a colour image, whose
// luminance falls between levels.
// `comments`, when given, receives the header's comment lines as readPnmComments gives them.
Image readPnm(const std::string &path, unsigned *levels = nullptr,
              std::vector<std::string> *comments = nullptr);

// The comment lines of a PNM file's header, in order, each without its '#' and the one blank
// that follows it. The file is checked as readPnm checks it, and refused with the same errors.
std::vector<std::string> readPnmComments(const std::string &path);

// A PNM file read as readPnm reads it, but decoded a row at a time, top to bottom, for a tool
// that works on each pixel by itself: it holds the file and a row, never the whole image (a
// 2048 × 2048 photograph is 4 MB as a file and 32 MB as an Image). Of the file, only the
// header and the raster it declares are read: bytes after them are left unread. The header is
// read and checked at once; a bad sample further on throws from next().
class PnmRows
{
public:
    explicit PnmRows(const std::string &path);
    ~PnmRows();
    PnmRows(const PnmRows &) = delete;
    PnmRows &operator=(const PnmRows &) = delete;

    int width() const;
    int height() const;
    unsigned levels() const; // as readPnm reports them
    const std::vector<std::string> &comments() const; // the header's, as readPnmComments
    // Decodes the next row into `row`, `width()` values.
    void next(double *row);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A value as a PGM file of `maxval` stores it: clamped to 0..1 (NaN to 0) and rounded to the
// nearest of the levels 0..maxval.
inline unsigned quantise(double v, unsigned maxval)
{
    // NaN fails both comparisons and becomes black rather than undefined behaviour.
    const double clamped = v > 0.0 ? (v < 1.0 ? v : 1.0) : 0.0;
    return unsigned(clamped * maxval + 0.5); // clamped is 0..1: no overflow
}

// Encodes binary PGM: values clamped to 0..1 and rounded to 8 (maxval 255) or 16 bits (65535).
// Each of `comments` becomes a line "# ..." of the header, read back as it was given (a line
// break within one would end the header's line, so it is written as a blank).
std::string encodePgm(const Image &image, int bits, const std::vector<std::string> &comments = {});

// Writes binary PGM atomically; the name is resolved without regard to letter case, so an
// existing "Distor.pgm" is replaced when "distor.pgm" is asked for.
void writePgm(const std::string &path, const Image &image, int bits,
              const std::vector<std::string> &comments = {});

// The rows of a width × height image to be written: row(y, scratch) returns the `width`
// values of row y, wherever they lie, or fills `scratch`, room for one row, and returns it.
// Rows are asked for once each, top to bottom. A tool whose last step works pixel by pixel
// does it here, on each row while it is in cache, rather than in a pass of its own over the
// whole image; one whose result lies in another layout hands its rows over where they are.
using RowSource = std::function<const double *(int y, double *scratch)>;

std::string encodePgm(int width, int height, int bits, const RowSource &row,
                      const std::vector<std::string> &comments = {});
void writePgm(const std::string &path, int width, int height, int bits, const RowSource &row,
              const std::vector<std::string> &comments = {});

} // namespace img
