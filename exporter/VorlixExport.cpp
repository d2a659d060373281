// vorlix-export: runs the library's exports from the shell, so users and tests see what
// the program will import.

#include "exporter/Mokavel.h"
#include "platform/common/GuardedMain.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int usage()
{
    std::fputs("usage: vorlix-export apps OUT [BITS]     desktop (1), Start menu (2), control panel (4); default 7\n"
               "       vorlix-export favorites OUT       Favorites folder and browser bookmarks\n"
               "       vorlix-export documents FOLDER OUT\n"
               "       vorlix-export personal            prints the personal documents folder\n",
               stderr);
    return 2;
}

// Says what the export did; the exit status is 0 only when it succeeded.
int report(int32_t result, const char* outputFile)
{
    if (result == 0) {
        std::fprintf(stderr, "vorlix-export: export failed; %s was not written\n", outputFile);
        return 1;
    }
    if (FILE* file = std::fopen(outputFile, "rb")) {
        long lines = 0;
        for (int c; (c = std::fgetc(file)) != EOF;)
            lines += c == '\n';
        std::fclose(file);
        std::printf("%s: %ld records\n", outputFile, lines / 3);
    } else {
        std::printf("nothing found; %s was not written\n", outputFile);
    }
    return 0;
}

int run(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    if (command == "apps" && (argc == 3 || argc == 4)) {
        char* end = nullptr;
        const long bits = argc == 4 ? std::strtol(argv[3], &end, 0) : 7;
        if (argc == 4 && (*end != '\0' || end == argv[3]))
            return usage();
        return report(fnMokavel(argv[2], static_cast<int32_t>(bits)), argv[2]);
    }
    if (command == "favorites" && argc == 3)
        return report(ExportFavorites(argv[2]), argv[2]);
    if (command == "documents" && argc == 4)
        return report(ExportPersonalDocs(argv[2], argv[3]), argv[3]);
    if (command == "personal" && argc == 2) {
        char buffer[MOKAVEL_PATH_BUFFER_SIZE];
        const int32_t length = GetPersonalDocsPath(buffer);
        std::printf("%.*s\n", static_cast<int>(length), buffer);
        return 0;
    }
    return usage();
}

} // namespace

int main(int argc, char** argv)
{
    return runGuarded("vorlix-export", [&] { return run(argc, argv); });
}
