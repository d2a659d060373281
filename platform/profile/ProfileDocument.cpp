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

std::string keyLine(std::string_view key, std::string_view value)
{
    return std::string(key).append("=").append(value).append(kLineEnd);
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

ProfileDocument::ProfileDocument(std::string_view text)
{
    parse(text);
}

void ProfileDocument::parse(std::string_view text)
{
    m_blocks.push_back(std::make_unique<Block>());
    const size_t size = text.size();
    size_t pos = 0;
    bool firstLine = true;
    while (pos < size) {
        const size_t lineEnd = std::min(text.find_first_of("\r\n", pos), size);
        size_t terminator = 0;
        if (lineEnd < size)
            terminator = (text[lineEnd] == '\r' && lineEnd + 1 < size && text[lineEnd + 1] == '\n') ? 2 : 1;
        const std::string_view raw = text.substr(pos, lineEnd + terminator - pos);
        const size_t contentLength = lineEnd - pos;
        std::string_view content = raw.substr(0, contentLength);
        pos = lineEnd + terminator;
        if (firstLine && content.starts_with(kUtf8Bom))
            content.remove_prefix(kUtf8Bom.size());
        firstLine = false;
        content = trimBlanks(content);

        if (content.starts_with('[')) {
            // Text after the closing bracket is ignored; a header without one opens no section.
            const size_t close = content.find(']', 1);
            if (close != std::string_view::npos) {
                auto block = std::make_unique<Block>();
                block->name = trimBlanks(content.substr(1, close - 1));
                block->isSection = true;
                block->lines.push_back(Line{std::string(raw), contentLength});
                m_sections[block->name].push_back(block.get());
                m_blocks.push_back(std::move(block));
                continue;
            }
        }
        Block& block = *m_blocks.back();
        block.lines.push_back(Line{std::string(raw), contentLength});
        if (content.empty() || content.front() == ';' || !block.isSection)
            continue;
        const size_t equals = content.find('=');
        if (equals == std::string_view::npos)
            continue;
        const std::string_view name = trimBlanks(content.substr(0, equals));
        if (!name.empty())
            block.keys.push_back(Key{std::string(name), std::string(trimBlanks(content.substr(equals + 1))), block.lines.size() - 1});
    }
}

ProfileDocument::Key* ProfileDocument::Block::find(std::string_view key)
{
    for (Key& candidate : keys) {
        if (equalsIgnoringCase(candidate.name, key))
            return &candidate;
    }
    return nullptr;
}

const ProfileDocument::Key* ProfileDocument::Block::find(std::string_view key) const
{
    return const_cast<Block*>(this)->find(key);
}

ProfileDocument::Block* ProfileDocument::firstSection(std::string_view section) const
{
    const auto found = m_sections.find(section);
    return found == m_sections.end() ? nullptr : found->second.front();
}

std::optional<std::string_view> ProfileDocument::rawValue(std::string_view section, std::string_view key) const
{
    const Block* found = firstSection(section);
    if (!found)
        return std::nullopt;
    const Key* entry = found->find(key);
    if (!entry)
        return std::nullopt;
    return entry->value;
}

bool ProfileDocument::hasSection(std::string_view section) const
{
    return firstSection(section) != nullptr;
}

void ProfileDocument::endLastLine()
{
    for (auto block = m_blocks.rbegin(); block != m_blocks.rend(); ++block) {
        if ((*block)->removed || (*block)->lines.empty())
            continue;
        Line& last = (*block)->lines.back();
        if (!last.hasLineEnd())
            last.bytes += kLineEnd;
        return;
    }
}

ProfileDocument::Block& ProfileDocument::appendSection(std::string_view section)
{
    endLastLine();
    auto block = std::make_unique<Block>();
    block->name = section;
    block->isSection = true;
    block->lines.push_back(Line{std::string("[").append(section).append("]").append(kLineEnd), section.size() + 2});
    m_sections[block->name].push_back(block.get());
    m_blocks.push_back(std::move(block));
    return *m_blocks.back();
}

bool ProfileDocument::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    Block* found = firstSection(section);
    if (!found)
        found = &appendSection(section);
    else if (Key* entry = found->find(key)) {
        if (entry->value == value)
            return false;
        // The key keeps its place, its stored letter case and its line end.
        Line& line = found->lines[entry->line];
        const std::string lineEnd = line.bytes.substr(line.contentLength);
        line.bytes = std::string(entry->name).append("=").append(value);
        line.contentLength = line.bytes.size();
        line.bytes += lineEnd;
        entry->value = trimBlanks(value);
        return true;
    }

    // A new key goes after the last key of its section.
    const size_t after = found->keys.empty() ? 0 : found->keys.back().line;
    Line& previous = found->lines[after];
    if (!previous.hasLineEnd())
        previous.bytes += kLineEnd;
    std::string bytes = keyLine(key, value);
    const size_t contentLength = bytes.size() - kLineEnd.size();
    found->lines.insert(found->lines.begin() + std::ptrdiff_t(after + 1), Line{std::move(bytes), contentLength});
    found->keys.push_back(Key{std::string(key), std::string(trimBlanks(value)), after + 1});
    return true;
}

bool ProfileDocument::removeKey(std::string_view section, std::string_view key)
{
    Block* found = firstSection(section);
    if (!found)
        return false;
    // Every copy of the key goes, so a duplicate further down does not come back to life.
    std::vector<size_t> gone;
    std::vector<Key> kept;
    for (Key& entry : found->keys) {
        if (equalsIgnoringCase(entry.name, key))
            gone.push_back(entry.line);
        else
            kept.push_back(std::move(entry));
    }
    found->keys = std::move(kept);
    if (gone.empty())
        return false;
    for (auto line = gone.rbegin(); line != gone.rend(); ++line)
        found->lines.erase(found->lines.begin() + std::ptrdiff_t(*line));
    for (Key& entry : found->keys)
        entry.line -= size_t(std::count_if(gone.begin(), gone.end(), [&](size_t line) { return line < entry.line; }));
    return true;
}

bool ProfileDocument::removeSection(std::string_view section)
{
    // Every section of the name goes, so a duplicate does not take the deleted one's place.
    const auto found = m_sections.find(section);
    if (found == m_sections.end())
        return false;
    for (Block* block : found->second)
        block->removed = true;
    m_sections.erase(found);
    return true;
}

bool ProfileDocument::addSection(std::string_view section)
{
    if (hasSection(section))
        return false;
    appendSection(section);
    return true;
}

void ProfileDocument::clear()
{
    m_blocks.clear();
    m_sections.clear();
    m_blocks.push_back(std::make_unique<Block>());
}

std::string ProfileDocument::text() const
{
    size_t size = 0;
    for (const auto& block : m_blocks) {
        if (!block->removed) {
            for (const Line& line : block->lines)
                size += line.bytes.size();
        }
    }
    std::string text;
    text.reserve(size);
    for (const auto& block : m_blocks) {
        if (!block->removed) {
            for (const Line& line : block->lines)
                text += line.bytes;
        }
    }
    return text;
}

} // namespace profile
