// Text as the DOS side compares it: ASCII letters without regard to case, blanks trimmed.
// Pure C++, shared by the program, the command shell and the tools.
#pragma once

#include <string>
#include <string_view>

namespace dos {

char asciiLower(char c);
std::string asciiLowered(std::string_view text);

// ASCII letters compared without regard to case; other bytes must match exactly.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// `text` without the `blanks` at either end.
std::string_view trimmed(std::string_view text, std::string_view blanks = " \t\r\n");

} // namespace dos
