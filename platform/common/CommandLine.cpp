#include "platform/common/CommandLine.h"

namespace commandline {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isFieldCode(char c)
{
    return std::string_view("fFuUickdDnNvm").find(c) != std::string_view::npos;
}

bool needsNoQuotes(std::string_view word)
{
    if (word.empty())
        return false;
    for (char c : word) {
        const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          std::string_view("_@%+=:,./-").find(c) != std::string_view::npos ||
                          static_cast<unsigned char>(c) >= 0x80;
        if (!safe)
            return false;
    }
    return true;
}

// The shell's rules. False when a quote is left open.
bool split(std::string_view line, std::vector<std::string>& words)
{
    std::string word;
    bool inWord = false; // distinguishes "" (an empty word) from no word
    enum { Plain, Single, Double } quote = Plain;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        const bool hasNext = i + 1 < line.size();
        if (quote == Single) {
            if (c == '\'')
                quote = Plain;
            else
                word.push_back(c);
        } else if (quote == Double) {
            if (c == '"')
                quote = Plain;
            else if (c == '\\' && hasNext && std::string_view("\"\\$`").find(line[i + 1]) != std::string_view::npos)
                word.push_back(line[++i]);
            else
                word.push_back(c);
        } else if (isBlank(c)) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == '\'')
                quote = Single;
            else if (c == '"')
                quote = Double;
            else if (c == '\\' && hasNext)
                word.push_back(line[++i]);
            else
                word.push_back(c);
        }
    }
    if (inWord)
        words.push_back(word);
    return quote == Plain;
}

// A word without its field codes; "%%" is a percent sign, a "%" before anything else
// stays. nullopt for a word that was nothing but field codes.
std::optional<std::string> withoutFieldCodes(const std::string& word)
{
    std::string out;
    for (size_t i = 0; i < word.size(); ++i) {
        if (word[i] == '%' && i + 1 < word.size() && word[i + 1] == '%')
            out.push_back('%'), ++i;
        else if (word[i] == '%' && i + 1 < word.size() && isFieldCode(word[i + 1]))
            ++i;
        else
            out.push_back(word[i]);
    }
    if (out.empty() && !word.empty())
        return std::nullopt;
    return out;
}

} // namespace

std::vector<std::string> splitShellWords(std::string_view line)
{
    std::vector<std::string> words;
    split(line, words);
    return words;
}

std::optional<std::vector<std::string>> splitDesktopExec(std::string_view exec)
{
    std::vector<std::string> words;
    if (!split(exec, words))
        return std::nullopt;
    // Quoting is undone before the field codes are, as the format asks.
    std::vector<std::string> kept;
    for (const std::string& word : words) {
        if (std::optional<std::string> text = withoutFieldCodes(word))
            kept.push_back(std::move(*text));
    }
    return kept;
}

std::vector<std::string> splitWindowsArguments(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\\') {
            size_t count = 0;
            while (i < line.size() && line[i] == '\\')
                ++count, ++i;
            inWord = true;
            if (i < line.size() && line[i] == '"') {
                word.append(count / 2, '\\');
                if (count % 2 == 1) {
                    word.push_back('"');
                    continue;
                }
            } else {
                word.append(count, '\\');
            }
            --i; // the character after the backslashes is read by the loop
        } else if (c == '"') {
            inWord = true;
            if (quoted && i + 1 < line.size() && line[i + 1] == '"')
                word.push_back('"'), ++i;
            else
                quoted = !quoted;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            word.push_back(c);
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

std::string joinShellWords(const std::vector<std::string>& words, size_t first)
{
    std::string joined;
    for (size_t i = first; i < words.size(); ++i) {
        if (i > first)
            joined.push_back(' ');
        if (needsNoQuotes(words[i])) {
            joined += words[i];
            continue;
        }
        joined.push_back('\'');
        for (char c : words[i]) {
            if (c == '\'')
                joined += "'\\''";
            else
                joined.push_back(c);
        }
        joined.push_back('\'');
    }
    return joined;
}

} // namespace commandline
