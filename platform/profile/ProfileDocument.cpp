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

ProfileDocument::ProfileDocument(std::string text) : m_source(std::move(text))
{
    parse();
}

std::string_view ProfileDocument::own(std::string text)
{
    return m_owned.emplace_back(std::move(text));
}

ProfileDocument::Block& ProfileDocument::addBlock(Block block)
{
    Block& added = m_blocks.emplace_back(std::move(block));
    const auto [first, inserted] = m_sections.try_emplace(added.name, &added);
    if (!inserted) {
        Block* last = first->second;
        while (last->nextOfSameName)
            last = last->nextOfSameName;
        last->nextOfSameName = &added;
    }
    return added;
}

namespace {

struct RawLine {
    std::string_view raw;        // content and line end
    size_t contentLength;
    std::string_view content;    // trimmed, without a byte order mark
};

// Calls visit for each line of text[begin, end) until it returns false.
template <typename Visit>
void forEachLine(std::string_view text, size_t begin, size_t end, Visit visit)
{
    size_t pos = begin;
    while (pos < end) {
        size_t lineEnd = pos;
        while (lineEnd < end && text[lineEnd] != '\r' && text[lineEnd] != '\n')
            ++lineEnd;
        size_t terminator = 0;
        if (lineEnd < end)
            terminator = (text[lineEnd] == '\r' && lineEnd + 1 < end && text[lineEnd + 1] == '\n') ? 2 : 1;
        const std::string_view raw = text.substr(pos, lineEnd + terminator - pos);
        std::string_view content = raw.substr(0, lineEnd - pos);
        if (pos == 0 && content.starts_with(kUtf8Bom))
            content.remove_prefix(kUtf8Bom.size());
        pos = lineEnd + terminator;
        if (!visit(RawLine{raw, lineEnd - (pos - raw.size()), trimBlanks(content)}))
            return;
    }
}

// The name of a key line, empty for any other line.
std::string_view keyName(std::string_view content, size_t& equals)
{
    if (content.empty() || content.front() == ';')
        return {};
    equals = content.find('=');
    return equals == std::string_view::npos ? std::string_view() : trimBlanks(content.substr(0, equals));
}

} // namespace

// Only the section headers are found here; a section's lines and keys are taken apart
// when an edit first touches it, so one edit of a large file costs little more than a read.
void ProfileDocument::parse()
{
    m_blocks.emplace_back();
    const std::string_view text = m_source;
    m_sections.reserve(size_t(std::count(text.begin(), text.end(), '[')));
    forEachLine(text, 0, text.size(), [&](const RawLine& line) {
        // Text after the closing bracket is ignored; a header without one opens no section.
        const size_t close = line.content.starts_with('[') ? line.content.find(']', 1) : std::string_view::npos;
        const size_t lineBegin = size_t(line.raw.data() - text.data());
        if (close == std::string_view::npos) {
            m_blocks.back().end = lineBegin + line.raw.size();
            return true;
        }
        Block block;
        block.name = trimBlanks(line.content.substr(1, close - 1));
        block.isSection = true;
        block.begin = lineBegin;
        block.end = lineBegin + line.raw.size();
        addBlock(std::move(block));
        return true;
    });
}

void ProfileDocument::expand(Block& block)
{
    if (block.expanded)
        return;
    block.expanded = true;
    forEachLine(m_source, block.begin, block.end, [&](const RawLine& line) {
        block.lines.push_back(Line{line.raw, line.contentLength});
        size_t equals = 0;
        const std::string_view name = block.lines.size() > 1 || !block.isSection ? keyName(line.content, equals) : std::string_view();
        if (block.isSection && !name.empty())
            block.keys.push_back(Key{name, trimBlanks(line.content.substr(equals + 1)), block.lines.size() - 1});
        return true;
    });
}

ProfileDocument::Key* ProfileDocument::Block::find(std::string_view key)
{
    for (Key& candidate : keys) {
        if (equalsIgnoringCase(candidate.name, key))
            return &candidate;
    }
    return nullptr;
}

ProfileDocument::Block* ProfileDocument::firstSection(std::string_view section) const
{
    const auto found = m_sections.find(section);
    return found == m_sections.end() ? nullptr : found->second;
}

std::optional<std::string_view> ProfileDocument::rawValue(std::string_view section, std::string_view key) const
{
    const Block* found = firstSection(section);
    if (!found)
        return std::nullopt;
    if (found->expanded) {
        const Key* entry = const_cast<Block*>(found)->find(key);
        return entry ? std::optional(entry->value) : std::nullopt;
    }
    // Reads never change the document (it may be shared between threads): the section's
    // text is searched as it stands.
    std::optional<std::string_view> value;
    bool header = true;
    forEachLine(m_source, found->begin, found->end, [&](const RawLine& line) {
        size_t equals = 0;
        const std::string_view name = header ? std::string_view() : keyName(line.content, equals);
        header = false;
        if (!name.empty() && equalsIgnoringCase(name, key))
            value = trimBlanks(line.content.substr(equals + 1));
        return !value;
    });
    return value;
}

bool ProfileDocument::hasSection(std::string_view section) const
{
    return firstSection(section) != nullptr;
}

void ProfileDocument::endLastLine()
{
    for (auto block = m_blocks.rbegin(); block != m_blocks.rend(); ++block) {
        if (block->removed)
            continue;
        expand(*block);
        if (block->lines.empty())
            continue;
        Line& last = block->lines.back();
        if (!last.hasLineEnd())
            last.bytes = own(std::string(last.bytes).append(kLineEnd));
        return;
    }
}

ProfileDocument::Block& ProfileDocument::appendSection(std::string_view section)
{
    endLastLine();
    Block block;
    const std::string_view header = own(std::string("[").append(section).append("]").append(kLineEnd));
    block.name = header.substr(1, section.size());
    block.isSection = true;
    block.expanded = true;
    block.lines.push_back(Line{header, section.size() + 2});
    return addBlock(std::move(block));
}

bool ProfileDocument::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    Block* found = firstSection(section);
    if (found)
        expand(*found);
    else
        found = &appendSection(section);
    if (Key* entry = found->find(key)) {
        if (entry->value == value)
            return false;
        // The key keeps its place, its stored letter case and its line end.
        Line& line = found->lines[entry->line];
        std::string bytes = std::string(entry->name).append("=").append(value);
        const size_t contentLength = bytes.size();
        bytes.append(line.bytes.substr(line.contentLength));
        line.bytes = own(std::move(bytes));
        line.contentLength = contentLength;
        entry->name = line.bytes.substr(0, entry->name.size());
        entry->value = trimBlanks(line.bytes.substr(entry->name.size() + 1, value.size()));
        return true;
    }

    // A new key goes after the last key of its section.
    const size_t after = found->keys.empty() ? 0 : found->keys.back().line;
    Line& previous = found->lines[after];
    if (!previous.hasLineEnd())
        previous.bytes = own(std::string(previous.bytes).append(kLineEnd));
    const std::string_view bytes = own(keyLine(key, value));
    found->lines.insert(found->lines.begin() + std::ptrdiff_t(after + 1), Line{bytes, bytes.size() - kLineEnd.size()});
    found->keys.push_back(Key{bytes.substr(0, key.size()), trimBlanks(bytes.substr(key.size() + 1, value.size())), after + 1});
    return true;
}

bool ProfileDocument::removeKey(std::string_view section, std::string_view key)
{
    Block* found = firstSection(section);
    if (!found)
        return false;
    expand(*found);
    // Every copy of the key goes, so a duplicate further down does not come back to life.
    std::vector<size_t> gone;
    std::vector<Key> kept;
    for (const Key& entry : found->keys) {
        if (equalsIgnoringCase(entry.name, key))
            gone.push_back(entry.line);
        else
            kept.push_back(entry);
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
    for (Block* block = found->second; block; block = block->nextOfSameName)
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
    m_blocks.emplace_back();
}

std::string ProfileDocument::text() const
{
    size_t size = 0;
    for (const Block& block : m_blocks) {
        if (block.removed)
            continue;
        if (!block.expanded)
            size += block.end - block.begin;
        for (const Line& line : block.lines)
            size += line.bytes.size();
    }
    std::string text;
    text.reserve(size);
    for (const Block& block : m_blocks) {
        if (block.removed)
            continue;
        if (!block.expanded)
            text.append(m_source, block.begin, block.end - block.begin);
        for (const Line& line : block.lines)
            text += line.bytes;
    }
    return text;
}

} // namespace profile
