#pragma once
// One parsed profile file: where its sections and keys are, and the edited texts that the
// write calls put in its place. The parse keeps views into the text it owns, so a
// document is neither copied nor moved once built; share it through a shared_ptr.

#include <cstddef>
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
    size_t operator()(std::string_view text) const;
};
struct CaseFoldEqual {
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

    // The edits return the file's new text, or nullopt when the edit changes nothing.
    // Names are expected trimmed and valid (the caller checks them).
    std::optional<std::string> withValue(std::string_view section, std::string_view key, std::string_view value) const;
    std::optional<std::string> withoutKey(std::string_view section, std::string_view key) const;
    std::optional<std::string> withoutSection(std::string_view section) const;
    std::optional<std::string> withSection(std::string_view section) const;

private:
    struct Line {
        size_t begin = 0;
        size_t length = 0;
        size_t terminatorLength = 0;
        size_t end() const { return begin + length + terminatorLength; }
    };
    struct Key {
        std::string_view name;
        std::string_view value;
        size_t line = 0;
    };
    struct Section {
        std::string_view name;
        size_t headerLine = 0;
        size_t endLine = 0; // one past its last line
        std::vector<Key> keys;
        const Key* find(std::string_view key) const;
    };
    struct Splice {
        size_t begin;
        size_t end;
        std::string text;
    };

    void parse();
    const Section* findSection(std::string_view section) const;
    std::string appendedText(std::string_view lines) const;
    std::string spliced(std::vector<Splice> splices) const;

    std::string m_text;
    std::vector<Line> m_lines;
    std::vector<Section> m_sections;
    std::unordered_map<std::string_view, size_t, CaseFoldHash, CaseFoldEqual> m_firstSection;
};

} // namespace profile
