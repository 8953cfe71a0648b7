// The clave=valor words of a tool's line.
#include "linekeys.h"

#include "tool.h"

#include <charconv>
#include <cmath>

namespace img {

std::vector<std::pair<std::string, std::string>> lineKeys(const std::string &line)
{
    std::vector<std::pair<std::string, std::string>> keys;
    const std::vector<std::string> words = lineWords(line);
    for (size_t i = 1; i < words.size(); ++i) {
        const size_t equals = words[i].find('=');
        if (equals != std::string::npos && equals > 0)
            keys.emplace_back(words[i].substr(0, equals), words[i].substr(equals + 1));
    }
    return keys;
}

std::optional<std::string> lineValue(const std::string &line, const std::string &key)
{
    std::optional<std::string> value;
    for (auto &[name, text] : lineKeys(line))
        if (name == key)
            value = std::move(text);
    return value;
}

std::optional<double> lineNumber(const std::string &line, const std::string &key)
{
    const std::optional<std::string> text = lineValue(line, key);
    if (!text || text->empty())
        return std::nullopt;
    double value = 0.0;
    const char *end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace img
