#include "exporter/ExportList.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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

bool writeAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// A fresh file beside target, created with the usual permissions (the umask applies).
int createTemporaryBeside(const std::string& target, std::string& temporaryPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryPath = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
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

    std::string temporaryPath;
    const int fd = createTemporaryBeside(outputFile, temporaryPath);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, bytes);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporaryPath.c_str(), outputFile.c_str()) != 0) {
        ::unlink(temporaryPath.c_str());
        return false;
    }
    return true;
}

} // namespace mokavel
