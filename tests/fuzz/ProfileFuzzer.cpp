// The profile (INI) parser and its edits: any file text parses, and a value written
// into it reads back as written.

#include "platform/profile/ProfileDocument.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(fuzz::view(data, size));
    const profile::ProfileDocument document(text);
    for (const char* section : {"Character", "VoiceCommand 1", "", "General"}) {
        (void)document.hasSection(section);
        (void)document.rawValue(section, "Name");
    }
    if (const auto edited = document.withValue("Character", "Name", "written")) {
        const profile::ProfileDocument reread(*edited);
        fuzz::expect(reread.rawValue("Character", "Name") == "written", "a written value reads back");
    }
    if (const auto removed = document.withoutSection("Character"))
        fuzz::expect(!profile::ProfileDocument(*removed).hasSection("Character"), "a removed section is gone");
    (void)document.withoutKey("General", "Left");
    (void)document.withSection("New");
    return 0;
}
