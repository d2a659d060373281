// The .desktop reader and the splitting of its Exec line, on any text.

#include "exporter/DesktopEntry.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = fuzz::view(data, size);
    if (const auto entry = mokavel::parseDesktopEntry(text, "de_DE.UTF-8@euro"))
        (void)mokavel::splitExec(entry->exec);
    (void)mokavel::splitExec(text);
    return 0;
}
