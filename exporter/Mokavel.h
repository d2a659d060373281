/* The exports of libMokavel, which turns the user's desktop, menus, bookmarks and
 * documents into record files (three CR LF lines a record: name, target, arguments)
 * for the program to read. Strings are zero-terminated bytes; every export returns its
 * failure value instead of throwing, and keeps no state between calls. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MOKAVEL_API __attribute__((visibility("default")))

/* Source bits of fnMokavel. */
enum {
    EXPORT_DESKTOP = 1,
    EXPORT_START_MENU = 2,
    EXPORT_CONTROL_PANEL = 4
};

/* Writes the Start list file: 1 when collected and written (no file when nothing was
 * found), 0 when no source bit is set, a per-user folder is unknown or the file cannot
 * be written. */
MOKAVEL_API int32_t fnMokavel(const char* outputFile, int32_t sources);

/* Removes the whole section from the INI file; always 1. */
MOKAVEL_API int32_t fnDeleteSectionfromIni(const char* section, const char* iniFile);

/* Writes the favourites file: 0 when there is no source at all or the file cannot be
 * written, else 1. */
MOKAVEL_API int32_t ExportFavorites(const char* outputFile);

/* Writes the documents of folder: 0 when folder does not exist or the file cannot be
 * written, else 1. */
MOKAVEL_API int32_t ExportPersonalDocs(const char* folder, const char* outputFile);

/* Size of the buffer that GetPersonalDocsPath fills, terminating zero included. */
#define MOKAVEL_PATH_BUFFER_SIZE 1000

/* Fills buffer (MOKAVEL_PATH_BUFFER_SIZE bytes) with the personal documents folder;
 * returns its length without the terminating zero. */
MOKAVEL_API int32_t GetPersonalDocsPath(char* buffer);

#ifdef __cplusplus
}
#endif
