// The batch interpreter of our command shell.
#include "batchscript.h"

#include "dospath.h"

namespace batch {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

// Whether `line` is the built-in `word`, alone or followed by a blank.
bool isBuiltin(std::string_view line, std::string_view word, std::string_view *rest)
{
    if (line.size() < word.size() || !dos::equalsIgnoreCase(line.substr(0, word.size()), word))
        return false;
    if (line.size() > word.size() && !isBlank(line[word.size()]))
        return false;
    *rest = line.substr(word.size());
    return true;
}

} // namespace

std::vector<std::string> splitWords(std::string_view line)
{
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

int runScript(std::string_view text, Console &console)
{
    bool echo = true;
    int status = 0;
    for (const std::string &raw : splitLines(text)) {
        std::string_view line = trimLeft(raw);
        bool hidden = false;
        if (!line.empty() && line.front() == '@') {
            hidden = true;
            line = trimLeft(line.substr(1));
        }
        if (dos::trimmed(line, " \t").empty())
            continue;
        if (echo && !hidden)
            console.out("\n" + console.prompt() + std::string(line) + "\n");

        std::string_view rest;
        if (isBuiltin(line, "echo", &rest)) {
            const std::string_view argument = dos::trimmed(rest, " \t");
            if (argument.empty())
                console.out(echo ? "ECHO está activado.\n" : "ECHO está desactivado.\n");
            else if (dos::equalsIgnoreCase(argument, "on"))
                echo = true;
            else if (dos::equalsIgnoreCase(argument, "off"))
                echo = false;
            else
                console.out(std::string(rest.substr(1)) + "\n");
            continue;
        }
        if (isBuiltin(line, "cls", &rest)) {
            console.clearScreen();
            continue;
        }
        const std::vector<std::string> words = splitWords(line);
        if (std::optional<int> result = console.run(words)) {
            status = *result;
        } else {
            console.err("'" + words.front()
                        + "' no se reconoce como un comando interno o externo,\n"
                          "programa o archivo por lotes ejecutable.\n");
            status = kNotFound;
        }
    }
    return status;
}

} // namespace batch
