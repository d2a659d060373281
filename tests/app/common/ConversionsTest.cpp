#include "app/common/Conversions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using NumberCases = std::initializer_list<std::pair<const char*, double>>;

// The settings file: the longest leading decimal number, no blanks, no exponent, no hex.
TEST(LeadingNumber, readsTheLongestLeadingDecimalNumber)
{
    for (const auto& [text, expected] : NumberCases{{"", 0}, {" 7", 0}, {"-.25x", -0.25}, {"1.2.3", 1.2}, {"1e5", 1}, {"&H10", 0}})
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(text)), expected) << '"' << text << '"';
}

// The command file: blanks inside the number are skipped, hex and octal, exponents.
TEST(NumericValue, readsLikeTheCommandFileExpects)
{
    for (const auto& [text, expected] :
         NumberCases{{"&HF060", 61536}, {"&o78", 7}, {"&H", 0}, {" 1 2\t3\n4", 1234}, {"- 5", -5}, {"1.5E-1x", 0.15},
                     {"2e+", 2}, {"1\r2", 1}})
        EXPECT_DOUBLE_EQ(numericValue(QString::fromUtf8(text)), expected) << '"' << text << '"';
}

TEST(NumericValue, hugeNumbersStayHugeTinyOnesVanishAndInt32EitherFitsOrIsRefused)
{
    EXPECT_TRUE(std::isinf(numericValue(u"1e999")));
    EXPECT_EQ(numericValue(u"-1e-999"), 0.0);
    EXPECT_FALSE(roundToInt32(numericValue(u"99999999999")).has_value());
    EXPECT_EQ(roundToInt32(-2147483648.5), std::numeric_limits<int32_t>::min()); // the half goes to even
    EXPECT_EQ(roundToInt32(2147483647.5), std::nullopt);
    EXPECT_EQ(roundToInt32(std::nan("")), std::nullopt);
    EXPECT_EQ(roundToInt32Saturated(-1e12), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(roundToInt32Saturated(std::nan("")), 0);
}

TEST(NumericValue, decimalPointDoesNotFollowTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    // A machine may have no such locale installed: build one into a folder of our own.
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("vorlix-locale-" + std::to_string(getpid()))).string();
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        std::filesystem::create_directories(folder);
        // localedef exits non-zero for mere warnings; whether the locale loads is what counts.
        const std::string build = "localedef -i de_DE -f UTF-8 " + folder + "/de_DE.UTF-8 >/dev/null 2>&1";
        (void)std::system(build.c_str());
        setenv("LOCPATH", folder.c_str(), 1);
        ASSERT_TRUE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) << "could not build a de_DE locale (package locales)";
    }
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_DOUBLE_EQ(numericValue(u"2.5"), 2.5);
    EXPECT_DOUBLE_EQ(leadingNumber(u"180.5"), 180.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
    unsetenv("LOCPATH");
    std::filesystem::remove_all(folder);
}

std::vector<QString> allFields(const QString& text)
{
    SequentialFieldReader reader(text);
    std::vector<QString> fields;
    while (std::optional<QString> field = reader.next())
        fields.push_back(*field);
    EXPECT_TRUE(reader.atEnd());
    return fields;
}

// Fields as the data files are written: quoted ones may hold commas and line breaks.
TEST(FieldReader, splitsFieldsAsTheDataFilesAreWritten)
{
    const std::vector<std::pair<const char*, std::vector<QString>>> cases{
        {"\"line one\r\nline two\",\"next\"", {"line one\r\nline two", "next"}},
        {"  plain text  ,second\r\nthird", {"plain text", "second", "third"}},
        {"\"a\"junk,b", {"a", "b"}},
        {"\"unclosed, to the end\r\n", {"unclosed, to the end\r\n"}},
        {"one\n\n\ntwo\r\rthree", {"one", "two", "three"}},
        {"  \r\n\t", {}}};
    for (const auto& [text, fields] : cases)
        EXPECT_EQ(allFields(QString::fromUtf8(text)), fields) << '"' << text << '"';
}

TEST(FieldReader, wholeLinesThenAQuotedField)
{
    SequentialFieldReader reader(QStringLiteral("Macro 1\r\nWave\nSay, this\r\n  \"Dear Sir,\r\nthanks\"\r\n"));
    EXPECT_EQ(reader.nextLine(), "Macro 1");
    EXPECT_EQ(reader.nextLine(), "Wave");
    EXPECT_EQ(reader.nextLine(), "Say, this");   // a whole line keeps its comma
    EXPECT_EQ(reader.next(), "Dear Sir,\r\nthanks");
    EXPECT_FALSE(reader.next().has_value());
    EXPECT_FALSE(reader.nextLine().has_value());
}

} // namespace
