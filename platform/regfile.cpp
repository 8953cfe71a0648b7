// The reader of registry export files.
#include "regfile.h"

#include "asciitext.h"

#include <charconv>
#include <optional>

namespace platform {

namespace {

// A quoted text with the escapes \\ and \"; `rest` receives what follows the closing quote.
std::optional<std::string> unquoted(std::string_view text, std::string_view *rest)
{
    std::string out;
    for (size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            *rest = text.substr(i + 1);
            return out;
        }
        if (c == '\\') {
            if (++i == text.size() || (text[i] != '\\' && text[i] != '"'))
                return std::nullopt;
            c = text[i];
        }
        out += c;
    }
    return std::nullopt;
}

// A hexadecimal number of 1 to `maxDigits` digits, the whole of `text`.
std::optional<std::uint32_t> hexNumber(std::string_view text, size_t maxDigits)
{
    std::uint32_t number = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number, 16);
    if (text.empty() || text.size() > maxDigits || error != std::errc() || stop != end)
        return std::nullopt;
    return number;
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    return dos::equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// "hex:01,02" or "hex(2):25,00" without its "hex".
std::optional<RegValue> hexData(std::string_view text)
{
    RegValue value;
    if (text.starts_with('(')) {
        const size_t close = text.find(')');
        const std::optional<std::uint32_t> type = close == std::string_view::npos
            ? std::nullopt
            : hexNumber(text.substr(1, close - 1), 8);
        if (!type)
            return std::nullopt;
        value.type = *type;
        text.remove_prefix(close + 1);
    }
    if (!text.starts_with(':'))
        return std::nullopt;
    text.remove_prefix(1);
    while (!dos::trimmed(text).empty()) {
        const size_t comma = text.find(',');
        const std::optional<std::uint32_t> byte = hexNumber(dos::trimmed(text.substr(0, comma)), 2);
        if (!byte)
            return std::nullopt;
        value.data.push_back(std::uint8_t(*byte));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return value;
}

// What follows the "=" of a value line.
std::optional<RegValue> data(std::string_view text)
{
    if (text.starts_with('"')) {
        std::string_view rest;
        const std::optional<std::string> content = unquoted(text, &rest);
        if (!content || !dos::trimmed(rest).empty())
            return std::nullopt;
        RegValue value {REG_SZ, {content->begin(), content->end()}};
        value.data.push_back(0);
        return value;
    }
    if (startsWithIgnoreCase(text, "dword:")) {
        const std::optional<std::uint32_t> number = hexNumber(dos::trimmed(text.substr(6)), 8);
        if (!number)
            return std::nullopt;
        return RegValue {REG_DWORD,
                         {std::uint8_t(*number), std::uint8_t(*number >> 8),
                          std::uint8_t(*number >> 16), std::uint8_t(*number >> 24)}};
    }
    if (startsWithIgnoreCase(text, "hex"))
        return hexData(text.substr(3));
    return std::nullopt;
}

} // namespace

RegKeys readRegText(std::string_view text)
{
    RegKeys keys;
    RegValues *key = nullptr; // the key of the last section; null under another root
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = dos::trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.starts_with('[')) {
            const std::string_view name = line.substr(1, line.size() - 2);
            key = line.ends_with(']') && startsWithIgnoreCase(name, "HKEY_LOCAL_MACHINE\\")
                ? &keys[regKeyName(HKEY_LOCAL_MACHINE, name.substr(19))]
                : nullptr;
            continue;
        }
        // The header, comments, blank lines: none starts with a name.
        std::string_view rest;
        std::optional<std::string> name;
        if (line.starts_with('@')) {
            name = std::string();
            rest = line.substr(1);
        } else if (line.starts_with('"')) {
            name = unquoted(line, &rest);
        }
        rest = dos::trimmed(rest);
        if (!key || !name || !rest.starts_with('='))
            continue;
        if (std::optional<RegValue> value = data(dos::trimmed(rest.substr(1))))
            (*key)[dos::asciiLowered(*name)] = std::move(*value);
    }
    return keys;
}

} // namespace platform
