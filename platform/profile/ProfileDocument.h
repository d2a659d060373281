#pragma once
// One parsed profile file that can be edited in place: where its sections and keys are,
// and the text that the write calls put in its place. Each edit changes the document
// exactly as writing its text and parsing it again would, so many edits cost one parse
// and one write instead of one of each per edit.

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace profile {

// Blanks and tabs are trimmed around names and values; nothing else is.
std::string_view trimBlanks(std::string_view text);

// ASCII letters compare ignoring case; other bytes compare as they are.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

struct CaseFoldHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const;
};
struct CaseFoldEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return equalsIgnoringCase(a, b); }
};

class ProfileDocument {
public:
    explicit ProfileDocument(std::string text);
    ProfileDocument(const ProfileDocument&) = delete;
    ProfileDocument& operator=(const ProfileDocument&) = delete;

    // The value of the first such key in the first such section, trimmed, quotes kept.
    std::optional<std::string_view> rawValue(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const;

    // The edits return false when they change nothing. Names are expected trimmed and
    // valid, values without line breaks (the caller checks them).
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);
    bool addSection(std::string_view section);
    void clear();

    std::string text() const;

private:
    // Lines, names and values are views: into the parsed text, or into m_owned for the
    // lines an edit made. Few allocations keep a parse of a large list file cheap.
    struct Line {
        std::string_view bytes;     // content and line end
        size_t contentLength = 0;
        bool hasLineEnd() const { return bytes.size() > contentLength; }
    };
    struct Key {
        std::string_view name;
        std::string_view value;
        size_t line = 0;            // index into the section's lines
    };
    // The lines before the first header, or one section from its header to the next.
    struct Block {
        std::string_view name;
        bool isSection = false;
        bool removed = false;
        bool expanded = false;           // lines and keys taken apart (always for new sections)
        size_t begin = 0;                // its text in m_source while not expanded
        size_t end = 0;
        Block* nextOfSameName = nullptr;
        std::vector<Line> lines;
        std::vector<Key> keys;
        Key* find(std::string_view key);
    };

    void parse();
    void expand(Block& block);
    Block* firstSection(std::string_view section) const;
    Block& appendSection(std::string_view section);
    Block& addBlock(Block block);
    void endLastLine();
    std::string_view own(std::string text);

    std::string m_source;
    std::deque<std::string> m_owned;
    std::deque<Block> m_blocks;   // a deque keeps each block where it is as more are added
    // The first live section of each name; the others follow through nextOfSameName.
    std::unordered_map<std::string_view, Block*, CaseFoldHash, CaseFoldEqual> m_sections;
};

} // namespace profile
