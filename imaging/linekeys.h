// The clave=valor words at the end of a tool's line (tool.h's history()): the answers a tool
// was given ("k=0.0123") and what else it records about its output ("aconsejada=0.000542",
// "huella=..."). A reader asks for the keys it knows and ignores the rest, so that a tool may
// record more and files written before still read.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace img {

// The keys the tools write beyond their answers.
constexpr char kAdvisedKey[] = "aconsejada"; // the value the tool advised in its console
constexpr char kRegionsKey[] = "regiones"; // snr.exe: the regions it zeroed, "x1,y1,x2,y2;..."
constexpr char kProposedKey[] = "propuestas"; // snr.exe's proposed regions, as "regiones="
constexpr char kDigestKey[] = "huella"; // align.exe: pictureDigest() of its output

// Every clave=valor word of `line`, in order: a word holding '=' after the line's first word
// (the program). A file name never holds '=', so the other words are left out.
std::vector<std::pair<std::string, std::string>> lineKeys(const std::string &line);

// The value of `key` in `line` (the last one, should it be written twice); nothing when absent.
std::optional<std::string> lineValue(const std::string &line, const std::string &key);

// The same read as a number as noteAnswer writes it (a decimal point, an exponent); nothing
// when absent or not a whole number.
std::optional<double> lineNumber(const std::string &line, const std::string &key);

} // namespace img
