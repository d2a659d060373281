// Speech-output tags: any text splits into segments whose texts, tags removed, make up
// the text the balloon shows.

#include "platform/agent/SpeechText.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const SpeechText speech = SpeechText::parse(QString::fromUtf8(fuzz::bytes(data, size)));
    for (const SpeechSegment& segment : speech.segments) {
        fuzz::expect(!segment.text.isEmpty(), "no empty segment");
        fuzz::expect(segment.displayOffset >= 0 && segment.displayOffset <= speech.displayText.size(),
                     "a segment starts inside the shown text");
    }
    return 0;
}
