#pragma once
// What the harnesses share: the input as Qt and standard types, a failed expectation
// reported the way the fuzzer reports a crash, and a private file for readers that
// only take a path.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace fuzz {

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

inline std::string_view view(const uint8_t* data, size_t size)
{
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// An invariant that does not hold is a finding: abort so that the fuzzer keeps the input.
inline void expect(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Writes the input to a file of this process's own, rewritten for each input.
inline std::string fileWith(std::string_view contents, const char* name)
{
    struct Folder {
        std::filesystem::path path = std::filesystem::temp_directory_path() / ("vorlix-fuzz-" + std::to_string(::getpid()));
        Folder() { std::filesystem::create_directories(path); }
        ~Folder()
        {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    const std::filesystem::path file = folder.path / name;
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(contents.data(), std::streamsize(contents.size()));
    return file.string();
}

} // namespace fuzz
