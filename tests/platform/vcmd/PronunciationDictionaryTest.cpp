#include "platform/vcmd/PronunciationDictionary.h"

#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

class PronunciationDictionaryTest : public IsolatedTest {};

// Words of the real dictionary and guessed ones are heard in RecognitionTest; here the
// alternatives a word may have, and guesses only in the phones the acoustic model knows.
TEST_F(PronunciationDictionaryTest, AlternativesAreKeptAndMissingWordsGuessedInTheModelsPhones)
{
    // Out of order on purpose, with alternatives and a line without phones.
    IsolatedEnvironment::writeFile(env.path("dict"),
        "zebra Z IY B R AH\nhello HH AH L OW\nabc\nhello(2) HH EH L OW\nread R IY D\nread(2) R EH D\na AH\n");
    PronunciationDictionary dictionary(env.path("dict"));
    ASSERT_TRUE(dictionary.isLoaded());
    EXPECT_EQ(dictionary.pronunciations("hello").mid(0, 2), (QStringList{"HH AH L OW", "HH EH L OW"}));
    EXPECT_EQ(dictionary.pronunciations("a").first(), "AH");
    EXPECT_TRUE(dictionary.pronunciations("").isEmpty());

    const QStringList modelPhones = QString("AA AE AH AO AW AY B CH D DH EH ER EY F G HH IH IY JH K L M N NG OW OY "
                                            "P R S SH T TH UH UW V W Y Z ZH").split(' ');
    PronunciationDictionary none(env.path("absent"));
    EXPECT_FALSE(none.isLoaded());
    for (const QString word : {"vorlix", "notepad", "macros", "jerry's"}) {
        const QStringList found = none.pronunciations(word);
        ASSERT_FALSE(found.isEmpty()) << word.toStdString();
        for (const QString& phone : found.first().split(' '))
            EXPECT_TRUE(modelPhones.contains(phone)) << word.toStdString() << ": " << found.first().toStdString();
    }
    EXPECT_TRUE(none.pronunciations("macros").first().startsWith("M AE K R OW"));
}

} // namespace
