// The library's boundary: every export catches everything and returns its failure value.

#include "exporter/Mokavel.h"

#include "exporter/FavoritesExport.h"
#include "exporter/ShellFolders.h"
#include "exporter/StartListExport.h"

#include "platform/files/DirectorySearch.h"
#include "platform/profile/PrivateProfile.h"

#include <cstring>
#include <optional>
#include <string>

namespace {

// The profile layer caches parsed files; dropping them after each export keeps nothing
// alive between calls (thousands of favourites would otherwise stay in memory).
struct ForgetParsedFiles {
    ~ForgetParsedFiles() { ClearPrivateProfileCache(); }
};

// Copies text into the caller's buffer when it fits with its terminating zero.
std::optional<int32_t> copyIfFits(const std::optional<std::string>& text, char* buffer)
{
    if (!text || text->size() >= MOKAVEL_PATH_BUFFER_SIZE)
        return std::nullopt;
    std::memcpy(buffer, text->c_str(), text->size() + 1);
    return static_cast<int32_t>(text->size());
}

} // namespace

extern "C" {

int32_t fnMokavel(const char* outputFile, int32_t sources)
{
    const ForgetParsedFiles forget;
    try {
        return mokavel::exportStartList(outputFile, sources);
    } catch (...) {
        return 0;
    }
}

int32_t fnDeleteSectionfromIni(const char* section, const char* iniFile)
{
    const ForgetParsedFiles forget;
    try {
        if (section && iniFile && *iniFile)
            WritePrivateProfileString(section, std::nullopt, std::nullopt, iniFile);
    } catch (...) {
    }
    return 1;
}

int32_t ExportFavorites(const char* outputFile)
{
    const ForgetParsedFiles forget;
    try {
        return mokavel::exportFavorites(outputFile);
    } catch (...) {
        return 0;
    }
}

int32_t ExportPersonalDocs(const char* folder, const char* outputFile)
{
    const ForgetParsedFiles forget;
    try {
        return mokavel::exportPersonalDocs(folder, outputFile);
    } catch (...) {
        return 0;
    }
}

int32_t GetPersonalDocsPath(char* buffer)
{
    if (!buffer)
        return 0;
    buffer[0] = '\0';
    const ForgetParsedFiles forget;
    try {
        if (const auto length = copyIfFits(mokavel::ReadShellFolder(mokavel::kPerUserRoot, "Personal"), buffer))
            return *length;
        if (const auto length = copyIfFits(files::windowsDirectory(), buffer))
            return *length;
    } catch (...) {
    }
    std::memcpy(buffer, "/", 2); // the file system's root, as the drive's root elsewhere
    return 1;
}

} // extern "C"
