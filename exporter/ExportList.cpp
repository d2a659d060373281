#include "exporter/ExportList.h"

#include "platform/profile/AtomicFile.h"

namespace mokavel {
namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = lowerAscii(c);
    return result;
}

void appendField(std::string& out, std::string_view field)
{
    for (char c : field)
        out.push_back(c == '\r' || c == '\n' || c == '\0' ? ' ' : c);
    out.append("\r\n");
}

} // namespace

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && lowered(a) == lowered(b);
}

bool EndsWithNoCase(std::string_view text, std::string_view extension)
{
    if (extension.size() != 4 || text.size() <= 3)
        return false;
    return lowered(text.substr(text.size() - 4)) == lowered(extension);
}

bool ContainsNoCase(std::string_view text, std::string_view part)
{
    if (text.empty() || part.empty())
        return false;
    return lowered(text).find(lowered(part)) != std::string::npos;
}

std::string withoutLastFour(std::string_view fileName)
{
    return fileName.size() > 4 ? std::string(fileName.substr(0, fileName.size() - 4)) : std::string();
}

bool WriteExportFile(const ExportList& list, const std::string& outputFile)
{
    if (list.empty())
        return true;
    if (outputFile.empty())
        return false;

    std::string bytes;
    for (const ExportItem& item : list) {
        appendField(bytes, item.name);
        appendField(bytes, item.target);
        appendField(bytes, item.arguments);
    }

    return profile::replaceFileAtomically(outputFile, bytes);
}

} // namespace mokavel
