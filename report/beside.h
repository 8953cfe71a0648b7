// The other files of a result's chain, read as the tools read them from its folder, and
// whether align.pgm is still the photograph that chain started from: what --curva and
// --comparar check before they give any figure.
#pragma once

#include "image.h"

#include <QString>
#include <QStringList>

#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace report {

// A picture of a chain's folder, with its header's lines.
struct ToolImage
{
    img::Image image;
    QStringList lines;
};

// The imaging library's message, which begins in lower case for a tool's "tool: " prefix, as a
// sentence of its own on one line.
QString sentenceOf(const std::exception &error);

// A header's comment lines as text.
QStringList toLines(const std::vector<std::string> &comments);

// `name` in `folder`, found without regard to letter case as the tools find it. Throws the
// imaging library's errors (missing, unreadable).
ToolImage readBeside(const std::filesystem::path &folder, const QString &name);

// Why `align` is not the truth a file whose header holds `lines` is judged against (another
// photograph's, or remade since); empty when it is.
QString whyNotTruth(const QStringList &lines, const ToolImage &align);

} // namespace report
