// A stand-in library with one export only, whose count overstates what it wrote.

#include <cstdint>
#include <cstring>

extern "C" __attribute__((visibility("default"))) int32_t GetPersonalDocsPath(char* buffer)
{
    std::strcpy(buffer, "/partial/docs");
    return 5000;
}
