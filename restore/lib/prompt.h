// Questions a restoration tool asks in its console window.
//
// The tools that ask (inverse, wiener, snr) are started with a visible console, but tests and
// scripts answer them through a pipe, so every question reads standard input the same way,
// terminal or not. Enter alone, or the end of the input, takes the default the prompt shows;
// an answer that is not a number is asked again.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace restore {

// A number written as a student would type it: blanks around it allowed, a decimal comma or
// point, an exponent. Nothing else may follow. std::nullopt for anything else, NaN and
// infinities included.
std::optional<double> parseNumber(const std::string &text);

// The number written the Spanish way, with a decimal comma, in as few digits as show it
// (0,0001; 0,0769; 12,5): what the prompts print as their defaults.
std::string formatNumber(double value);

// One line of `in` without its line end; std::nullopt at the end of the input.
std::optional<std::string> readLine(std::istream &in);

// Asks `question` (the default is printed after it, "[0,0001]: ") until the answer is a number
// of at least `minimum`; Enter or the end of the input gives `fallback`.
double askNumber(std::istream &in, std::ostream &out, const std::string &question, double fallback,
                 double minimum);

} // namespace restore
