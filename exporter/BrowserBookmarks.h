#pragma once
// The web browsers' bookmarks as export records (name = title, target = address):
// Firefox profiles' places.sqlite, read as an unchanging file so a running browser's
// lock neither blocks nor is disturbed, and the Chromium family's Bookmarks files.
// Folders are walked depth first in the browser's own order.

#include "exporter/ExportList.h"

#include <string>

namespace mokavel {

// Each returns false when the file cannot be read as bookmarks; what was read before a
// fault stays in list.
bool readPlacesDatabase(const std::string& file, ExportList& list);
bool readChromiumBookmarks(const std::string& file, ExportList& list);

// Every Firefox profile's bookmarks; true when at least one profile database exists.
bool collectFirefoxBookmarks(ExportList& list);

// Chromium, Google Chrome, Brave, Vivaldi and Edge, in that order, each profile's
// Bookmarks file ("Default" first); true when at least one file exists.
bool collectChromiumBookmarks(ExportList& list);

} // namespace mokavel
