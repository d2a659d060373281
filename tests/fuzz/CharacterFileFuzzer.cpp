// The character file reader (design size, SVG images, animations) on any bytes.

#include "platform/agent/CharacterFile.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    (void)CharacterFile::parse(fuzz::bytes(data, size));
    return 0;
}
