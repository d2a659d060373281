// The WAV reader: any header is refused or decoded, never a crash or a huge allocation.

#include "platform/vcmd/WavFile.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto samples = WavFile::decodeAsRecognizerInput(fuzz::bytes(data, size));
    if (samples) {
        // At the lowest accepted rate each input byte becomes at most four samples.
        fuzz::expect(samples.value().size() <= 4 * size + 16, "the output is bounded by the input");
        (void)WavFile::endOfSound(samples.value());
    }
    return 0;
}
