// The frame every image tool shares: arguments, messages and exit status.
#include "tool.h"

#include "errors.h"
#include "plural.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <exception>
#include <new>
#include <optional>

namespace img {

namespace {

// The tool's own line of history(), begun by runTool and lengthened by noteAnswer: one tool
// runs once in its process.
std::string ownLine;

std::string lowered(std::string text)
{
    for (char &c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The program as its command line named it: a batch line's "c:\qor\...\Inverse.exe" gives
// "Inverse.exe", a test's "/.../inverse.exe" gives "inverse.exe".
std::string commandName(int argc, char **argv, const char *program)
{
    const std::string path = argc > 0 && argv[0] ? argv[0] : "";
    const std::string name = path.substr(path.find_last_of("/\\") + 1);
    return name.empty() ? std::string(program) + ".exe" : name;
}

} // namespace

int runTool(const char *program, const char *usage, int argc, char **argv, const ToolMain &run)
{
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    ownLine = commandName(argc, argv, program);
    for (const std::string &arg : args)
        ownLine += " " + quotedWord(arg);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(usage, stdout);
        return kOk;
    }
    // One line naming the program; the usage text only where the command line was wrong.
    try {
        run(args);
        return kOk;
    } catch (const Misuse &e) {
        std::fprintf(stderr, "%s: %s\n%s", program, e.what(), usage);
        return kMisuse;
    } catch (const ImageError &e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
    } catch (const BadInput &e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
    } catch (const std::bad_alloc &) {
        std::fprintf(stderr, "%s: no hay memoria suficiente para la imagen\n", program);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s: error interno: %s\n", program, e.what());
    }
    return kBadInput;
}

std::vector<std::string> history(const std::vector<std::string> &inherited)
{
    std::vector<std::string> all = inherited;
    all.push_back(ownLine);
    if (all.size() <= kHistoryLines)
        return all;
    // The origin, unless it is among the latest lines anyway.
    std::optional<size_t> origin;
    for (size_t i = all.size(); i-- > 0;) {
        const std::vector<std::string> words = lineWords(all[i]);
        if (!words.empty() && lowered(words[0]) == "align.exe") {
            origin = i;
            break;
        }
    }
    if (origin && *origin >= all.size() - kHistoryLines)
        return std::vector<std::string>(all.end() - ptrdiff_t(kHistoryLines), all.end());
    const size_t tailStart = all.size() - (kHistoryLines - (origin ? 2 : 1));
    size_t omitted = 0;
    for (size_t i = origin ? *origin + 1 : 0; i < tailStart; ++i) {
        const size_t earlier = omittedCount(all[i]);
        omitted += earlier ? earlier : 1;
    }
    std::vector<std::string> lines;
    if (origin)
        lines.push_back(all[*origin]);
    lines.push_back(omittedLine(omitted));
    lines.insert(lines.end(), all.begin() + ptrdiff_t(tailStart), all.end());
    return lines;
}

std::string omittedLine(size_t count)
{
    return "(" + std::to_string(count) + agree(count, " paso omitido)", " pasos omitidos)");
}

size_t omittedCount(const std::string &line)
{
    if (line.size() < 3 || line[0] != '(' || line.back() != ')')
        return 0;
    size_t count = 0;
    const auto [stop, error] = std::from_chars(line.data() + 1, line.data() + line.size(), count);
    if (error != std::errc() || count == 0)
        return 0;
    return line == omittedLine(count) ? count : 0;
}

std::vector<std::string> lineWords(const std::string &line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

std::string quotedWord(const std::string &word)
{
    if (!word.empty() && word.find_first_of(" \t") == std::string::npos)
        return word;
    return '"' + word + '"';
}

void noteAnswer(const std::string &name, double value)
{
    char text[32];
    const auto [end, error]
        = std::to_chars(text, text + sizeof text, value, std::chars_format::general);
    noteAnswer(name, error == std::errc() ? std::string(text, end) : std::to_string(value));
}

void noteAnswer(const std::string &name, const std::string &value)
{
    ownLine += " " + name + "=" + value;
}

void expectArgs(const std::vector<std::string> &args, size_t count)
{
    if (args.size() != count)
        throw Misuse(std::string("se ") + agree(count, "esperaba ", "esperaban ")
                     + std::to_string(count) + agree(count, " argumento", " argumentos") + " y hay "
                     + std::to_string(args.size()));
}

int parsePositive(const std::string &text, const char *what)
{
    // Plain decimal digits only: no sign, no blanks, no exponent, as the command lines write.
    int value = 0;
    const char *end = text.data() + text.size();
    const bool digitFirst = !text.empty() && text[0] >= '0' && text[0] <= '9';
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (!digitFirst || error != std::errc() || stop != end || value < 1)
        throw Misuse(std::string(what) + " «" + text + "» no es un número entero positivo");
    return value;
}

} // namespace img
