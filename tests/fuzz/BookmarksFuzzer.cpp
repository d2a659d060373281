// The browsers' bookmark files: a Chromium-family Bookmarks file, or (first byte odd)
// a Firefox places database, on any bytes.

#include "exporter/BrowserBookmarks.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    mokavel::ExportList list;
    const std::string_view contents = fuzz::view(data + 1, size - 1);
    if (data[0] & 1)
        (void)mokavel::readPlacesDatabase(fuzz::fileWith(contents, "places.sqlite"), list);
    else
        (void)mokavel::readChromiumBookmarks(fuzz::fileWith(contents, "Bookmarks"), list);
    return 0;
}
