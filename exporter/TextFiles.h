#pragma once
// Small byte and text helpers shared by the readers of shortcut, launcher and
// bookmark files.

#include <optional>
#include <string>
#include <string_view>

namespace mokavel {

// The whole file, or nullopt when it cannot be read or is larger than maxBytes
// (a hostile file must not make us allocate without bound).
std::optional<std::string> readSmallFile(const std::string& path, size_t maxBytes);

bool isValidUtf8(std::string_view bytes);

// 8-bit text from a Windows file: kept when it already is UTF-8, else read as Latin-1.
std::string ansiToUtf8(std::string_view bytes);

// UTF-16LE to UTF-8; unpaired surrogates become U+FFFD, an odd last byte is dropped.
std::string utf16LeToUtf8(std::string_view bytes);

bool fileExists(const std::string& path);
bool isRegularFile(const std::string& path);
// A regular file of at most maxBytes: safe to hand to a reader that takes it whole.
bool isSmallRegularFile(const std::string& path, size_t maxBytes);
bool isExecutableFile(const std::string& path);
// An executable that is a real program (an ELF binary or a "#!" script): on a FAT stick
// or a shared folder every photo has the execute bit.
bool isProgramFile(const std::string& path);

} // namespace mokavel
