// The shell link (.lnk) reader on any bytes.

#include "exporter/ShellLink.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)mokavel::parseShellLink(fuzz::view(data, size));
    return 0;
}
