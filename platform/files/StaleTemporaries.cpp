#include "platform/files/StaleTemporaries.h"

#include <cerrno>
#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

#include <signal.h>
#include <unistd.h>

namespace files {

namespace {

// The writer's process id in a temporary's name: ".<file>.tmp<pid>-<counter>-<random>".
std::optional<pid_t> writerOf(std::string_view name)
{
    if (name.size() < 2 || name.front() != '.')
        return std::nullopt;
    const size_t tmp = name.rfind(".tmp");
    if (tmp == std::string_view::npos || tmp == 0)
        return std::nullopt;
    std::string_view rest = name.substr(tmp + 4);
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    if (error != std::errc() || end == rest.data() || end == rest.data() + rest.size() || *end != '-' || pid <= 0)
        return std::nullopt;
    rest.remove_prefix(size_t(end - rest.data()) + 1);
    // "<counter>-<random>", digits only.
    const size_t dash = rest.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == rest.size())
        return std::nullopt;
    for (const char c : rest) {
        if (c != '-' && (c < '0' || c > '9'))
            return std::nullopt;
    }
    return pid;
}

bool isRunning(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

} // namespace

int removeStaleTemporaries(const std::filesystem::path& folder, std::chrono::seconds maxAge)
{
    namespace fs = std::filesystem;
    int removed = 0;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::optional<pid_t> writer = writerOf(it->path().filename().string());
        if (!writer || !it->is_regular_file(error))
            continue;
        const auto age = fs::file_time_type::clock::now() - it->last_write_time(error);
        const bool stale = *writer != ::getpid() && (!isRunning(*writer) || age > maxAge);
        if (!error && stale && fs::remove(it->path(), error))
            ++removed;
        error.clear();
    }
    return removed;
}

} // namespace files
