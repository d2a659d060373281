#include "platform/profile/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace profile {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(size_t(written));
    }
    return true;
}

std::filesystem::path temporaryNameFor(const std::filesystem::path& file)
{
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 random{std::random_device{}()};
    const std::string name = "." + file.filename().string() + ".tmp" + std::to_string(::getpid()) + "-"
        + std::to_string(counter++) + "-" + std::to_string(random() % 100000);
    return file.parent_path() / name;
}

} // namespace

FileContents readWholeFile(const std::filesystem::path& file)
{
    FileContents contents;
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        contents.state = (errno == ENOENT || errno == ENOTDIR) ? FileState::Missing : FileState::Unreadable;
        return contents;
    }
    contents.state = FileState::Unreadable;
    if (::fstat(fd.get(), &contents.identity) != 0 || !S_ISREG(contents.identity.st_mode)
        || size_t(contents.identity.st_size) > kMaxFileBytes)
        return contents;

    contents.bytes.resize(size_t(contents.identity.st_size));
    size_t filled = 0;
    for (;;) {
        if (filled == contents.bytes.size()) {
            // The file may have grown since fstat.
            if (contents.bytes.size() >= kMaxFileBytes)
                return contents;
            contents.bytes.resize(std::min(kMaxFileBytes, contents.bytes.size() + 65536));
        }
        const ssize_t got = ::read(fd.get(), contents.bytes.data() + filled, contents.bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            contents.bytes.clear();
            return contents;
        }
        if (got == 0)
            break;
        filled += size_t(got);
    }
    contents.bytes.resize(filled);
    contents.state = FileState::Read;
    return contents;
}

std::optional<std::filesystem::path> resolveLinks(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(file, error)))
        return file;
    std::filesystem::path target = std::filesystem::canonical(file, error);
    if (error)
        return std::nullopt;
    return target;
}

namespace {

// The file's name and what went wrong, for the user.
std::string describe(const std::filesystem::path& file, int error)
{
    return file.string() + ": " + std::strerror(error);
}

// Writes bytes beside file under a temporary name, with file's permissions; the name, or
// an empty path on failure (nothing is left behind then, and why says what went wrong).
std::filesystem::path writeTemporary(const std::filesystem::path& file, std::string_view bytes, bool flush,
                                     std::string* why)
{
    const auto fail = [&](int error) {
        if (why)
            *why = describe(file, error);
        return std::filesystem::path();
    };
    struct stat old {};
    const bool replacing = ::stat(file.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        return fail(EISDIR);
    if (replacing) {
        // The rename needs only the folder's permission; the file's own is the user's say.
        FileDescriptor probe(::open(file.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (probe.get() < 0)
            return fail(errno);
    }

    std::filesystem::path temporary;
    int rawFd = -1;
    for (int attempt = 0; attempt < 8 && rawFd < 0; ++attempt) {
        temporary = temporaryNameFor(file);
        rawFd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (rawFd < 0 && errno != EEXIST)
            return fail(errno);
    }
    if (rawFd < 0)
        return fail(EEXIST);
    FileDescriptor fd(rawFd);

    bool written = true;
    if (replacing) {
        // Only root may hand the file back to its owner (anyone else owns it already);
        // keeping the owner is worth trying, not worth failing the save for.
        if (::geteuid() == 0 && ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
        }
        written = ::fchmod(fd.get(), old.st_mode & 07777) == 0;
    }
    written = written && writeAll(fd.get(), bytes) && (!flush || ::fsync(fd.get()) == 0);
    const int error = errno;
    written = fd.close() && written;
    if (!written) {
        ::unlink(temporary.c_str());
        return fail(error != 0 ? error : EIO);
    }
    return temporary;
}

bool moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& file, std::string* why = nullptr)
{
    if (::rename(temporary.c_str(), file.c_str()) == 0)
        return true;
    if (why)
        *why = describe(file, errno);
    ::unlink(temporary.c_str());
    return false;
}

std::filesystem::path folderOf(const std::filesystem::path& file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// The renames reach the disk only with their folder.
void flushFolder(const std::filesystem::path& folder)
{
    FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0)
        ::fsync(folderFd.get());
}

} // namespace

bool replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes, std::string* why)
{
    const std::filesystem::path temporary = writeTemporary(file, bytes, true, why);
    if (temporary.empty() || !moveIntoPlace(temporary, file, why))
        return false;
    flushFolder(folderOf(file));
    return true;
}

std::vector<bool> replaceFilesAtomically(const std::vector<Replacement>& replacements)
{
    std::vector<std::filesystem::path> temporaries;
    std::vector<std::filesystem::path> folders;
    temporaries.reserve(replacements.size());
    for (const Replacement& replacement : replacements) {
        temporaries.push_back(writeTemporary(replacement.file, replacement.bytes, false, nullptr));
        const std::filesystem::path folder = folderOf(replacement.file);
        if (!temporaries.back().empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }

    // Every new content is on the disk before any file is replaced by it; when that cannot
    // be made sure of, no file is replaced.
    bool synced = true;
    for (const std::filesystem::path& folder : folders) {
        FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        synced = folderFd.get() >= 0 && ::syncfs(folderFd.get()) == 0 && synced;
    }

    std::vector<bool> replaced(replacements.size(), false);
    for (size_t i = 0; i < replacements.size(); ++i) {
        if (temporaries[i].empty())
            continue;
        if (synced)
            replaced[i] = moveIntoPlace(temporaries[i], replacements[i].file);
        else
            ::unlink(temporaries[i].c_str());
    }
    for (const std::filesystem::path& folder : folders)
        flushFolder(folder);
    return replaced;
}

} // namespace profile
