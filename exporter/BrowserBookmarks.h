#pragma once
// The web browsers' bookmarks as export records (name = title, target = address):
// Firefox profiles' places.sqlite, read from a private copy with its write-ahead log so
// a running browser's lock neither blocks nor is disturbed, and the Chromium family's
// Bookmarks files. Folders are walked depth first in the browser's own order; script
// and inline-data bookmarks are left out.

#include "exporter/ExportList.h"

#include <string>

namespace mokavel {

// A Bookmarks file of 100,000 entries is about 30 MB; a larger one is refused unread.
inline constexpr size_t kMaxBookmarksFileBytes = size_t(64) << 20;

// Each returns false when the file cannot be read as bookmarks; what was read before a
// fault stays in list.
bool readPlacesDatabase(const std::string& file, ExportList& list);
bool readChromiumBookmarks(const std::string& file, ExportList& list);

// Every Firefox profile's bookmarks; true when at least one profile database exists.
bool collectFirefoxBookmarks(ExportList& list);

// Chromium, Google Chrome, Brave, Vivaldi and Edge, in that order, each with its Snap
// and Flatpak packages, each profile's Bookmarks file ("Default" first); true when at
// least one file exists.
bool collectChromiumBookmarks(ExportList& list);

} // namespace mokavel
