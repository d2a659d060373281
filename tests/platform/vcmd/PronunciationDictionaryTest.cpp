#include "platform/vcmd/PronunciationDictionary.h"

#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

const QStringList kModelPhones = {"AA", "AE", "AH", "AO", "AW", "AY", "B", "CH", "D", "DH", "EH", "ER", "EY", "F",
    "G", "HH", "IH", "IY", "JH", "K", "L", "M", "N", "NG", "OW", "OY", "P", "R", "S", "SH", "T", "TH", "UH", "UW",
    "V", "W", "Y", "Z", "ZH"};

bool allModelPhones(const QString& pronunciation)
{
    const QStringList phones = pronunciation.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return !phones.isEmpty()
        && std::all_of(phones.begin(), phones.end(), [](const QString& p) { return kModelPhones.contains(p); });
}

class PronunciationDictionaryTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        // Out of order on purpose, with alternatives and a line without phones.
        IsolatedEnvironment::writeFile(env.path("dict"),
            "zebra Z IY B R AH\nhello HH AH L OW\nabc\nhello(2) HH EH L OW\nread R IY D\nread(2) R EH D\n"
            "a AH\n");
    }
};

TEST_F(PronunciationDictionaryTest, WordsFromTheDictionaryKeepEveryAlternative)
{
    PronunciationDictionary dictionary(env.path("dict"));
    ASSERT_TRUE(dictionary.isLoaded());
    EXPECT_EQ(dictionary.pronunciations("hello").mid(0, 2), (QStringList{"HH AH L OW", "HH EH L OW"}));
    EXPECT_EQ(dictionary.pronunciations("zebra").first(), "Z IY B R AH");
    EXPECT_EQ(dictionary.pronunciations("a").first(), "AH");
    EXPECT_TRUE(dictionary.pronunciations("").isEmpty());
}

TEST_F(PronunciationDictionaryTest, MissingWordsAreGuessedInTheModelsPhones)
{
    PronunciationDictionary dictionary(env.path("dict"));
    for (const QString word : {"vorlix", "notepad", "macros", "libreoffice", "jerry's"}) {
        const QStringList found = dictionary.pronunciations(word);
        ASSERT_FALSE(found.isEmpty()) << word.toStdString();
        EXPECT_TRUE(allModelPhones(found.first())) << word.toStdString() << ": " << found.first().toStdString();
    }
    EXPECT_TRUE(dictionary.pronunciations("macros").first().startsWith("M AE K R OW"));
}

TEST_F(PronunciationDictionaryTest, MissingDictionaryStillGuesses)
{
    PronunciationDictionary dictionary(env.path("absent"));
    EXPECT_FALSE(dictionary.isLoaded());
    EXPECT_EQ(dictionary.pronunciations("calculator").size(), 1);
}

} // namespace
