// The profile (INI) parser and its edits: any file text parses, and a value written
// into it reads back as written.

#include "platform/profile/ProfileDocument.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(fuzz::view(data, size));
    profile::ProfileDocument document(text);
    for (const char* section : {"Character", "VoiceCommand 1", "", "General"}) {
        (void)document.hasSection(section);
        (void)document.rawValue(section, "Name");
    }
    document.setValue("Character", "Name", "written");
    fuzz::expect(document.rawValue("Character", "Name") == "written", "a written value reads back");
    fuzz::expect(profile::ProfileDocument(document.text()).rawValue("Character", "Name") == "written",
                 "a written value reads back from the saved text");
    document.removeKey("General", "Left");
    document.addSection("New");
    document.removeSection("Character");
    (void)profile::ProfileDocument(document.text());
    return 0;
}
