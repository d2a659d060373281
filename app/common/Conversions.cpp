#include "app/common/Conversions.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include <locale.h>

#include <QStringDecoder>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The program's numbers always use a decimal point, whatever the user's locale says.
double parseCLocale(const std::string& number)
{
    static const locale_t cLocale = ::newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    return ::strtod_l(number.c_str(), nullptr, cLocale);
}

// Appends the digits at text[pos...] to number; returns how many there were.
qsizetype takeDigits(QStringView text, qsizetype& pos, std::string& number)
{
    const qsizetype start = pos;
    while (pos < text.size() && isDigit(text[pos]))
        number += char(text[pos++].unicode());
    return pos - start;
}

// Sign, digits with at most one decimal point, and (when allowed) an exponent; the
// text of the longest such prefix in C notation, or "" when it holds no digit.
std::string decimalPrefix(QStringView text, bool allowExponent)
{
    std::string number;
    qsizetype pos = 0;
    if (pos < text.size() && (text[pos] == u'+' || text[pos] == u'-'))
        number += char(text[pos++].unicode());
    qsizetype digits = takeDigits(text, pos, number);
    if (pos < text.size() && text[pos] == u'.') {
        number += '.';
        ++pos;
        digits += takeDigits(text, pos, number);
    }
    if (digits == 0)
        return {};
    if (allowExponent && pos + 1 < text.size() && (text[pos] == u'e' || text[pos] == u'E')) {
        std::string exponent = "e";
        qsizetype exponentPos = pos + 1;
        if (text[exponentPos] == u'+' || text[exponentPos] == u'-')
            exponent += char(text[exponentPos++].unicode());
        if (takeDigits(text, exponentPos, exponent) > 0)
            number += exponent;
    }
    return number;
}

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

double radixValue(QStringView digits, int radix)
{
    double value = 0;
    for (QChar c : digits) {
        const int digit = digitValue(c);
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

} // namespace

double leadingNumber(QStringView text)
{
    const std::string number = decimalPrefix(text, false);
    return number.empty() ? 0.0 : parseCLocale(number);
}

double numericValue(QStringView text)
{
    QString packed;
    packed.reserve(text.size());
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            packed += c;
    }
    if (packed.size() >= 2 && packed[0] == u'&') {
        const QChar radix = packed[1].toUpper();
        if (radix == u'H')
            return radixValue(QStringView(packed).mid(2), 16);
        if (radix == u'O')
            return radixValue(QStringView(packed).mid(2), 8);
        return 0.0;
    }
    const std::string number = decimalPrefix(packed, true);
    return number.empty() ? 0.0 : parseCLocale(number);
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return std::round(value);
}

std::optional<int32_t> roundToInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < double(std::numeric_limits<int32_t>::min()) || rounded > double(std::numeric_limits<int32_t>::max()))
        return std::nullopt;
    return int32_t(rounded);
}

int32_t roundToInt32Saturated(double value)
{
    if (std::isnan(value))
        return 0;
    if (const std::optional<int32_t> fitted = roundToInt32(value))
        return *fitted;
    return value < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}

// ---- SequentialFieldReader ----

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

} // namespace

SequentialFieldReader::SequentialFieldReader(QString text) : m_text(std::move(text)) {}

bool SequentialFieldReader::atEnd() const
{
    for (qsizetype pos = m_pos; pos < m_text.size(); ++pos) {
        if (!isBlank(m_text[pos]) && !isLineEnd(m_text[pos]))
            return false;
    }
    return true;
}

std::optional<QString> SequentialFieldReader::next()
{
    // Blank lines between fields are not fields.
    while (m_pos < m_text.size() && (isBlank(m_text[m_pos]) || isLineEnd(m_text[m_pos])))
        ++m_pos;
    if (m_pos >= m_text.size())
        return std::nullopt;

    if (m_text[m_pos] == u'"') {
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype end = close < 0 ? m_text.size() : close;
        QString field = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = std::min(end + 1, m_text.size());
        // Whatever stands between the closing quote and the delimiter is not part of any field.
        while (m_pos < m_text.size() && m_text[m_pos] != u',' && !isLineEnd(m_text[m_pos]))
            ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == u',')
            ++m_pos;
        return field;
    }

    qsizetype end = m_pos;
    while (end < m_text.size() && m_text[end] != u',' && !isLineEnd(m_text[end]))
        ++end;
    qsizetype last = end;
    while (last > m_pos && isBlank(m_text[last - 1]))
        --last;
    QString field = m_text.mid(m_pos, last - m_pos);
    m_pos = end < m_text.size() && m_text[end] == u',' ? end + 1 : end;
    return field;
}

std::optional<QString> SequentialFieldReader::nextLine()
{
    if (m_pos >= m_text.size())
        return std::nullopt;
    qsizetype end = m_pos;
    while (end < m_text.size() && !isLineEnd(m_text[end]))
        ++end;
    QString line = m_text.mid(m_pos, end - m_pos);
    m_pos = end;
    if (m_pos < m_text.size() && m_text[m_pos] == u'\r')
        ++m_pos;
    if (m_pos < m_text.size() && m_text[m_pos] == u'\n')
        ++m_pos;
    return line;
}

// ---- Quoted fields and text files ----

QString quoteField(const QString& text)
{
    QString doubled = text;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

QString readQuotedField(QStringView text, qsizetype& pos, bool* closed)
{
    Q_ASSERT(pos < text.size() && text[pos] == u'"');
    QString field;
    for (qsizetype at = pos + 1; at < text.size(); ++at) {
        if (text[at] != u'"') {
            field += text[at];
            continue;
        }
        if (at + 1 < text.size() && text[at + 1] == u'"') {
            field += u'"';
            ++at;
            continue;
        }
        pos = at + 1;
        if (closed)
            *closed = true;
        return field;
    }
    pos = text.size();
    if (closed)
        *closed = false;
    return field;
}

namespace {

// Windows-1252 at 0x80..0x9F; the five unassigned bytes keep their C1 code points.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString decodeTextFile(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;

    text.clear();
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        text += value >= 0x80 && value < 0xA0 ? QChar(kWindows1252High[value - 0x80]) : QChar(value);
    }
    return text;
}
