// Questions a restoration tool asks in its console window.
#include "prompt.h"

#include "asciitext.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <ostream>

namespace restore {

std::optional<double> parseNumber(const std::string &text)
{
    std::string s(dos::trimmed(text));
    if (s.empty())
        return std::nullopt;
    // A Spanish keyboard gives a decimal comma; strtod in the C locale wants a point.
    for (char &c : s)
        if (c == ',')
            c = '.';
    // strtod would also take "inf", "nan" and hexadecimal: the student means none of them.
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E'))
            return std::nullopt;
    char *end = nullptr;
    const double value = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string formatNumber(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4g", value);
    std::string s = buffer;
    if (s.find('e') != std::string::npos) {
        // Small defaults such as 1e-05 read better in full: 0,00001.
        std::snprintf(buffer, sizeof buffer, "%.10f", value);
        s = buffer;
        while (!s.empty() && s.back() == '0')
            s.pop_back();
        if (!s.empty() && s.back() == '.')
            s.pop_back();
    }
    for (char &c : s)
        if (c == '.')
            c = ',';
    return s;
}

std::optional<std::string> readLine(std::istream &in)
{
    std::string line;
    if (!std::getline(in, line))
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

double askNumber(std::istream &in, std::ostream &out, const std::string &question, double fallback,
                 double minimum)
{
    for (;;) {
        out << question << " [" << formatNumber(fallback) << "]: " << std::flush;
        const auto line = readLine(in);
        if (!line) {
            // The input ended: a console closed or a pipe with no more answers.
            out << '\n';
            return fallback;
        }
        if (dos::trimmed(*line).empty())
            return fallback;
        const auto value = parseNumber(*line);
        if (!value)
            out << "«" << dos::trimmed(*line) << "» no es un número; escríbalo otra vez.\n";
        else if (*value < minimum)
            out << "El valor debe ser al menos " << formatNumber(minimum) << ".\n";
        else
            return *value;
    }
}

} // namespace restore
