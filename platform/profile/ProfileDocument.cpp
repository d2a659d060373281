#include "platform/profile/ProfileDocument.h"

#include <algorithm>

namespace profile {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return foldCase(x) == foldCase(y); });
}

size_t CaseFoldHash::operator()(std::string_view text) const
{
    size_t hash = 14695981039346656037ull; // FNV-1a
    for (char c : text)
        hash = (hash ^ static_cast<unsigned char>(foldCase(c))) * 1099511628211ull;
    return hash;
}

ProfileDocument::ProfileDocument(std::string text) : m_text(std::move(text))
{
    parse();
}

void ProfileDocument::parse()
{
    const size_t size = m_text.size();
    size_t pos = 0;
    while (pos < size) {
        const size_t lineEnd = std::min(m_text.find_first_of("\r\n", pos), size);
        Line line{pos, lineEnd - pos, 0};
        if (lineEnd < size)
            line.terminatorLength = (m_text[lineEnd] == '\r' && lineEnd + 1 < size && m_text[lineEnd + 1] == '\n') ? 2 : 1;
        m_lines.push_back(line);
        pos = line.end();
    }

    const std::string_view text = m_text;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        std::string_view content = text.substr(m_lines[i].begin, m_lines[i].length);
        if (i == 0 && content.starts_with(kUtf8Bom))
            content.remove_prefix(kUtf8Bom.size());
        content = trimBlanks(content);
        if (content.empty() || content.front() == ';')
            continue;
        if (content.front() == '[') {
            // Text after the closing bracket is ignored; an unclosed header runs to the line end.
            const std::string_view name = trimBlanks(content.substr(1, content.find(']', 1) - 1));
            if (!m_sections.empty())
                m_sections.back().endLine = i;
            m_firstSection.try_emplace(name, m_sections.size());
            m_sections.push_back(Section{name, i, m_lines.size(), {}});
            continue;
        }
        const size_t equals = content.find('=');
        if (equals == std::string_view::npos || m_sections.empty())
            continue;
        const std::string_view name = trimBlanks(content.substr(0, equals));
        if (!name.empty())
            m_sections.back().keys.push_back(Key{name, trimBlanks(content.substr(equals + 1)), i});
    }
}

const ProfileDocument::Key* ProfileDocument::Section::find(std::string_view key) const
{
    for (const Key& candidate : keys) {
        if (equalsIgnoringCase(candidate.name, key))
            return &candidate;
    }
    return nullptr;
}

const ProfileDocument::Section* ProfileDocument::findSection(std::string_view section) const
{
    const auto found = m_firstSection.find(section);
    return found == m_firstSection.end() ? nullptr : &m_sections[found->second];
}

std::optional<std::string_view> ProfileDocument::rawValue(std::string_view section, std::string_view key) const
{
    const Section* found = findSection(section);
    if (!found)
        return std::nullopt;
    const Key* entry = found->find(key);
    if (!entry)
        return std::nullopt;
    return entry->value;
}

bool ProfileDocument::hasSection(std::string_view section) const
{
    return findSection(section) != nullptr;
}

std::string ProfileDocument::appendedText(std::string_view lines) const
{
    std::string text;
    text.reserve(m_text.size() + kLineEnd.size() + lines.size());
    text = m_text;
    if (!m_lines.empty() && m_lines.back().terminatorLength == 0)
        text += kLineEnd;
    text += lines;
    return text;
}

std::string ProfileDocument::spliced(std::vector<Splice> splices) const
{
    std::sort(splices.begin(), splices.end(), [](const Splice& a, const Splice& b) { return a.begin < b.begin; });
    std::string text;
    text.reserve(m_text.size() + 64);
    size_t pos = 0;
    for (const Splice& splice : splices) {
        text.append(m_text, pos, splice.begin - pos);
        text += splice.text;
        pos = splice.end;
    }
    text.append(m_text, pos, std::string::npos);
    return text;
}

std::optional<std::string> ProfileDocument::withValue(std::string_view section, std::string_view key,
                                                      std::string_view value) const
{
    const Section* found = findSection(section);
    if (!found)
        return appendedText(std::string("[").append(section).append("]\r\n").append(key).append("=").append(value).append(kLineEnd));

    if (const Key* entry = found->find(key)) {
        if (entry->value == value)
            return std::nullopt;
        // The key keeps its place, its stored letter case and its line end.
        const Line& line = m_lines[entry->line];
        return spliced({{line.begin, line.begin + line.length, std::string(entry->name).append("=").append(value)}});
    }

    const Line& after = m_lines[found->keys.empty() ? found->headerLine : found->keys.back().line];
    std::string inserted = after.terminatorLength == 0 ? std::string(kLineEnd) : std::string();
    inserted.append(key).append("=").append(value).append(kLineEnd);
    return spliced({{after.end(), after.end(), std::move(inserted)}});
}

std::optional<std::string> ProfileDocument::withoutKey(std::string_view section, std::string_view key) const
{
    const Section* found = findSection(section);
    if (!found)
        return std::nullopt;
    // Every copy of the key goes, so a duplicate further down does not come back to life.
    std::vector<Splice> splices;
    for (const Key& entry : found->keys) {
        if (equalsIgnoringCase(entry.name, key))
            splices.push_back({m_lines[entry.line].begin, m_lines[entry.line].end(), {}});
    }
    if (splices.empty())
        return std::nullopt;
    return spliced(std::move(splices));
}

std::optional<std::string> ProfileDocument::withoutSection(std::string_view section) const
{
    // Every section of the name goes, so a duplicate does not take the deleted one's place.
    std::vector<Splice> splices;
    for (const Section& candidate : m_sections) {
        if (equalsIgnoringCase(candidate.name, section))
            splices.push_back({m_lines[candidate.headerLine].begin, m_lines[candidate.endLine - 1].end(), {}});
    }
    if (splices.empty())
        return std::nullopt;
    return spliced(std::move(splices));
}

std::optional<std::string> ProfileDocument::withSection(std::string_view section) const
{
    if (hasSection(section))
        return std::nullopt;
    return appendedText(std::string("[").append(section).append("]\r\n"));
}

} // namespace profile
