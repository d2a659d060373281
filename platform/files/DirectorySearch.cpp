#include "platform/files/DirectorySearch.h"

#include <algorithm>
#include <cstdlib>


namespace files {

namespace {

char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool lessIgnoringCase(const DirEntry& a, const DirEntry& b)
{
    const auto folded = [](char x, char y) { return foldCase(x) < foldCase(y); };
    if (std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(), folded))
        return true;
    if (std::lexicographical_compare(b.name.begin(), b.name.end(), a.name.begin(), a.name.end(), folded))
        return false;
    return a.name < b.name; // "A" and "a" both exist here: keep the order the same on every machine
}

std::optional<std::string> environment(const char* name)
{
    const char* value = std::getenv(name);
    if (!value || !*value)
        return std::nullopt;
    return std::string(value);
}

} // namespace

bool matchesPattern(std::string_view name, std::string_view pattern)
{
    if (pattern == "*.*")
        return true;
    // Greedy match with one backtrack point: linear in practice, never exponential.
    size_t n = 0, p = 0;
    size_t starPattern = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || foldCase(pattern[p]) == foldCase(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<DirEntry> findFiles(const std::filesystem::path& folder, std::string_view pattern)
{
    std::vector<DirEntry> entries;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, std::filesystem::directory_options::skip_permission_denied, error);
    for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!matchesPattern(name, pattern))
            continue;
        std::error_code typeError;
        const bool isDirectory = it->is_directory(typeError);
        const bool isHidden = name.starts_with('.');
        entries.push_back(DirEntry{std::move(name), isDirectory, isHidden});
    }
    if (error)
        return {};
    std::sort(entries.begin(), entries.end(), lessIgnoringCase);
    return entries;
}

std::optional<std::string> windowsDirectory()
{
    if (std::optional<std::string> named = environment("VORLIX_WINDIR"))
        return named;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !program.has_parent_path())
        return std::nullopt;
    // Programs live in <prefix>/bin (in the build tree, <build>/bin or <build>/tests).
    return (program.parent_path().parent_path() / "share" / "vorlix").lexically_normal().string();
}

std::optional<std::string> systemDirectory()
{
    return environment("VORLIX_SYSTEMDIR");
}

} // namespace files
