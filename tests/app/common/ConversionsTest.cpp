#include "app/common/Conversions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <cmath>
#include <limits>
#include <vector>

namespace {

struct NumberCase { const char* text; double expected; };

void PrintTo(const NumberCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

// ---- the leading-number rule of the settings file ----

class LeadingNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumberTest, readsTheLongestLeadingDecimalNumber)
{
    EXPECT_DOUBLE_EQ(leadingNumber(QString::fromUtf8(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, LeadingNumberTest, testing::Values(
    NumberCase{"180", 180}, NumberCase{"180.5", 180.5}, NumberCase{"abc", 0}, NumberCase{"", 0},
    NumberCase{" 7", 0}, NumberCase{"-12px", -12}, NumberCase{"+3", 3}, NumberCase{".5", 0.5},
    NumberCase{"-.25x", -0.25}, NumberCase{"7.", 7}, NumberCase{"1.2.3", 1.2}, NumberCase{"-", 0},
    NumberCase{".", 0}, NumberCase{"1e5", 1}, NumberCase{"&H10", 0}, NumberCase{"12 34", 12}));

// ---- the fuller numeric reading of the command file ----

class NumericValueTest : public testing::TestWithParam<NumberCase> {};

TEST_P(NumericValueTest, readsLikeTheCommandFileExpects)
{
    EXPECT_DOUBLE_EQ(numericValue(QString::fromUtf8(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumericValueTest, testing::Values(
    NumberCase{"4 and more", 4}, NumberCase{"&H10", 16}, NumberCase{"&h1f", 31}, NumberCase{"&HF060", 61536},
    NumberCase{"&O17", 15}, NumberCase{"&o78", 7}, NumberCase{"&H", 0}, NumberCase{"&X1", 0},
    NumberCase{"letters", 0}, NumberCase{"", 0}, NumberCase{" 1 2\t3\n4", 1234}, NumberCase{"- 5", -5},
    NumberCase{"1.5e3", 1500}, NumberCase{"1.5E-1x", 0.15}, NumberCase{"2e", 2}, NumberCase{"2e+", 2},
    NumberCase{"3.25.5", 3.25}, NumberCase{"+.5", 0.5}, NumberCase{"1\r2", 1}, NumberCase{"& H10", 16}));

TEST(NumericValue, hugeNumbersStayHugeTinyOnesVanishAndInt32EitherFitsOrIsRefused)
{
    EXPECT_TRUE(std::isinf(numericValue(u"1e999")));
    EXPECT_EQ(numericValue(u"-1e-999"), 0.0);
    EXPECT_FALSE(roundToInt32(numericValue(u"99999999999")).has_value());
    EXPECT_EQ(roundToInt32(2147483647.4), 2147483647);
    EXPECT_EQ(roundToInt32(-2147483648.5), std::numeric_limits<int32_t>::min()); // the half goes to even
    EXPECT_EQ(roundToInt32(2147483647.5), std::nullopt);
    EXPECT_EQ(roundToInt32(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(roundToInt32(std::nan("")), std::nullopt);
    EXPECT_EQ(roundToInt32Saturated(1e12), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(roundToInt32Saturated(-1e12), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(roundToInt32Saturated(std::nan("")), 0);
    EXPECT_EQ(roundToInt32Saturated(-6.5), -6);
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

// ---- rounding ----

class RoundTest : public testing::TestWithParam<std::pair<double, double>> {};

TEST_P(RoundTest, roundsHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(GetParam().first), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(Values, RoundTest, testing::Values(
    std::pair{2.5, 2.0}, std::pair{3.5, 4.0}, std::pair{-2.5, -2.0}, std::pair{-3.5, -4.0}, std::pair{0.5, 0.0},
    std::pair{180.5, 180.0}, std::pair{2.4999, 2.0}, std::pair{2.5001, 3.0}, std::pair{-0.4, -0.0},
    std::pair{4503599627370495.5, 4503599627370496.0}, std::pair{1e300, 1e300}));

// ---- the sequential field reader ----

std::vector<QString> allFields(const QString& text)
{
    SequentialFieldReader reader(text);
    std::vector<QString> fields;
    while (std::optional<QString> field = reader.next())
        fields.push_back(*field);
    EXPECT_TRUE(reader.atEnd());
    return fields;
}

struct FieldCase { const char* text; std::vector<QString> fields; };

void PrintTo(const FieldCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class FieldReaderTest : public testing::TestWithParam<FieldCase> {};

TEST_P(FieldReaderTest, splitsFieldsAsTheDataFilesAreWritten)
{
    EXPECT_EQ(allFields(QString::fromUtf8(GetParam().text)), GetParam().fields);
}

INSTANTIATE_TEST_SUITE_P(Texts, FieldReaderTest, testing::Values(
    FieldCase{"\"Hello, world\"\r\n", {"Hello, world"}},
    FieldCase{"\"line one\r\nline two\",\"next\"", {"line one\r\nline two", "next"}},
    FieldCase{"  plain text  ,second\r\nthird", {"plain text", "second", "third"}},
    FieldCase{"a,,b", {"a", "", "b"}},
    FieldCase{"\"a\"  ,  \"b\"", {"a", "b"}},
    FieldCase{"\"a\"junk,b", {"a", "b"}},
    FieldCase{"\"unclosed, to the end\r\n", {"unclosed, to the end\r\n"}},
    FieldCase{"\"\"", {""}},
    FieldCase{"one\n\n\ntwo\r\rthree", {"one", "two", "three"}},
    FieldCase{"", {}},
    FieldCase{"  \r\n\t", {}},
    FieldCase{"a,", {"a"}}));

TEST(FieldReader, wholeLinesThenAQuotedField)
{
    SequentialFieldReader reader(QStringLiteral("Macro 1\r\nWave\nSay, this\r\n  \"Dear Sir,\r\nthanks\"\r\n"));
    EXPECT_EQ(reader.nextLine(), "Macro 1");
    EXPECT_EQ(reader.nextLine(), "Wave");
    EXPECT_EQ(reader.nextLine(), "Say, this");
    EXPECT_EQ(reader.next(), "Dear Sir,\r\nthanks");
    EXPECT_FALSE(reader.next().has_value());
    EXPECT_FALSE(reader.nextLine().has_value());
}

} // namespace
