#pragma once
// The one splitter of command lines, shared by the shell's "open" and the exporter, so
// that the arguments the exporter writes are read back as the same words. Plain C++
// (the exporter library links no Qt); texts are UTF-8.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace commandline {

// Words as a POSIX shell splits them: blanks separate words, single quotes keep
// everything, double quotes keep all but \" \\ \$ \`, a backslash outside quotes keeps
// the next character. Nothing is expanded ($, ~, globs); operators (; | & >) are plain
// text. An unclosed quote runs to the end.
std::vector<std::string> splitShellWords(std::string_view line);

// A launcher's Exec value (its string escapes already undone) by the Desktop Entry
// rules: quoting as above, then field codes (%f, %U, ...) removed and "%%" made "%".
// nullopt when a quote is not closed.
std::optional<std::vector<std::string>> splitDesktopExec(std::string_view exec);

// Arguments as a Windows program reads its command line: blanks separate, double
// quotes group, backslashes are literal except before a double quote (2n backslashes
// and a quote: n backslashes and the quote opens or closes; 2n+1: n and a literal
// quote), and "" inside quotes is a literal quote.
std::vector<std::string> splitWindowsArguments(std::string_view line);

// Words joined with blanks, each quoted so that splitShellWords gives them back.
std::string joinShellWords(const std::vector<std::string>& words, size_t first = 0);

} // namespace commandline
