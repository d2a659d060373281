#include "platform/vcmd/PhraseNormalizer.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace {

const std::array<const char*, 20> kSmall = {"zero", "one", "two", "three", "four", "five", "six",
    "seven", "eight", "nine", "ten", "eleven", "twelve", "thirteen", "fourteen", "fifteen",
    "sixteen", "seventeen", "eighteen", "nineteen"};
const std::array<const char*, 10> kTens = {"", "", "twenty", "thirty", "forty", "fifty", "sixty",
    "seventy", "eighty", "ninety"};

void appendBelowThousand(int value, QStringList& out)
{
    if (value >= 100) {
        out << QString::fromLatin1(kSmall[value / 100]) << QStringLiteral("hundred");
        value %= 100;
        if (value == 0)
            return;
    }
    if (value < 20) {
        out << QString::fromLatin1(kSmall[value]);
        return;
    }
    out << QString::fromLatin1(kTens[value / 10]);
    if (value % 10)
        out << QString::fromLatin1(kSmall[value % 10]);
}

QString ordinalOf(const QString& cardinal)
{
    static const QHash<QString, QString> irregular = {{"one", "first"}, {"two", "second"},
        {"three", "third"}, {"five", "fifth"}, {"eight", "eighth"}, {"nine", "ninth"},
        {"twelve", "twelfth"}};
    if (auto it = irregular.find(cardinal); it != irregular.end())
        return *it;
    if (cardinal.endsWith(QLatin1Char('y')))
        return cardinal.chopped(1) + QStringLiteral("ieth");
    return cardinal + QStringLiteral("th");
}

// Symbols that people say; every other symbol only separates words.
QString wordForSymbol(QChar c)
{
    switch (c.unicode()) {
    case '&': return QStringLiteral("and");
    case '+': return QStringLiteral("plus");
    case '@': return QStringLiteral("at");
    case '%': return QStringLiteral("percent");
    case '=': return QStringLiteral("equals");
    case '#': return QStringLiteral("number");
    case '$': return QStringLiteral("dollar");
    case 0x20AC: return QStringLiteral("euro");
    case 0x00A3: return QStringLiteral("pound");
    case 0x00B0: return QStringLiteral("degrees");
    default: return {};
    }
}

bool isApostrophe(QChar c) { return c == QLatin1Char('\'') || c == QChar(0x2019); }

// Decimal digits of every script ("٤", "४", and those beyond the basic plane) by their
// value, so that the rest of the normaliser reads only 0-9.
QString withAsciiDigits(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c >= 0x80 && QChar::category(c) == QChar::Number_DecimalDigit && QChar::digitValue(c) >= 0)
            out += QChar(u'0' + QChar::digitValue(c));
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out;
}

// Compatibility forms ("ﬁ", "²") and letter case folded together, so that the result
// reads the same when normalised again: lower-casing can leave a sequence ("İ" becomes
// "i" and a combining dot) that normalisation would change on a second pass.
QString foldedText(const QString& phrase)
{
    const QString folded = phrase.normalized(QString::NormalizationForm_KC).toLower();
    return withAsciiDigits(folded.normalized(QString::NormalizationForm_KC));
}

} // namespace

QStringList PhraseNormalizer::numberWords(const QString& digits)
{
    QStringList out;
    if (digits.isEmpty())
        return out;
    if (std::any_of(digits.cbegin(), digits.cend(), [](QChar d) { return d.unicode() >= 0x80; }))
        return numberWords(withAsciiDigits(digits));
    // Long numbers and numbers with leading zeros ("007") are read digit by digit.
    if (digits.size() > 9 || (digits.size() > 1 && digits.front() == QLatin1Char('0'))) {
        for (QChar d : digits)
            out << QString::fromLatin1(kSmall[d.digitValue()]);
        return out;
    }
    int value = digits.toInt();
    if (value == 0)
        return {QStringLiteral("zero")};
    if (value >= 1000000) {
        appendBelowThousand(value / 1000000, out);
        out << QStringLiteral("million");
        value %= 1000000;
    }
    if (value >= 1000) {
        appendBelowThousand(value / 1000, out);
        out << QStringLiteral("thousand");
        value %= 1000;
    }
    if (value > 0)
        appendBelowThousand(value, out);
    return out;
}

QStringList PhraseNormalizer::spokenWords(const QString& phrase)
{
    QStringList words;
    const QString text = foldedText(phrase);
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto isAlnum = [&](qsizetype at) { return at >= 0 && at < n && text.at(at).isLetterOrNumber(); };
    while (i < n) {
        const QChar c = text.at(i);
        if (c.isDigit()) {
            qsizetype end = i;
            while (end < n && text.at(end).isDigit())
                ++end;
            QStringList number = numberWords(text.mid(i, end - i));
            // "1st", "22nd", "3rd", "4th"
            static const QStringList suffixes = {"st", "nd", "rd", "th"};
            const QString next = text.mid(end, 2).toLower();
            if (suffixes.contains(next) && !isAlnum(end + 2) && number.size() < 10) {
                number.last() = ordinalOf(number.last());
                end += 2;
            }
            words << number;
            // "3.5" is "three point five"
            if (end + 1 < n && text.at(end) == QLatin1Char('.') && text.at(end + 1).isDigit()) {
                words << QStringLiteral("point");
                ++end;
                qsizetype fractionEnd = end;
                while (fractionEnd < n && text.at(fractionEnd).isDigit())
                    ++fractionEnd;
                for (QChar d : text.mid(end, fractionEnd - end))
                    words << QString::fromLatin1(kSmall[d.digitValue()]);
                end = fractionEnd;
            }
            i = end;
        } else if (c.isLetter() || c.isMark()) {
            qsizetype end = i;
            QString word;
            while (end < n) {
                const QChar w = text.at(end);
                if (w.isLetter() || w.isMark()) {
                    word += w;
                } else if (isApostrophe(w) && end + 1 < n && text.at(end + 1).isLetter() && !word.isEmpty()) {
                    word += QLatin1Char('\'');
                } else {
                    break;
                }
                ++end;
            }
            words << word;
            i = end;
        } else {
            if (c == QLatin1Char('.') && isAlnum(i - 1) && isAlnum(i + 1))
                words << QStringLiteral("dot");
            else if (const QString word = wordForSymbol(c); !word.isEmpty())
                words << word;
            ++i;
        }
    }
    return words;
}
