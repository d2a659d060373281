// The phrase normaliser: phrases compare by its result, so a second pass must give the
// same words as the first.

#include "platform/vcmd/PhraseNormalizer.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString once = PhraseNormalizer::spokenForm(QString::fromUtf8(fuzz::bytes(data, size)));
    fuzz::expect(PhraseNormalizer::spokenForm(once) == once, "normalising twice changes nothing");
    for (const QString& word : once.split(u' ', Qt::SkipEmptyParts))
        fuzz::expect(word == word.toLower(), "words are lower case");
    return 0;
}
