#pragma once
// The favourites export (internet shortcuts of the Favorites folder, then the browsers'
// bookmarks) and the documents export (the documents directly in one folder).

#include "exporter/ExportList.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mokavel {

// 0 when there is no source at all (no Favorites folder value, no browser profile);
// else 1 when written or nothing found, 0 when the file cannot be written.
int32_t exportFavorites(const char* outputFile);

// 0 when folder does not exist; else 1 when written or nothing found, 0 when the file
// cannot be written.
int32_t exportPersonalDocs(const char* folder, const char* outputFile);

// Internet shortcuts (files ending in extension, hidden ones too) and Link launchers of
// folder and all its subfolders.
void WalkFavoritesFolder(ExportList& list, const std::string& folder, std::string_view extension);

// Files directly in folder whose extension (from the last ".") has at most 6 characters
// and is no library; name = file name before the last ".".
void WalkDocumentsFolder(ExportList& list, const std::string& folder);

} // namespace mokavel
