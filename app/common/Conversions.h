#pragma once
// The number and text readings that several subsystems share, each kept in one place.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// The longest leading decimal number of text (optional sign, digits, one decimal point);
// 0 when there is none. "180.5" gives 180.5, "abc" gives 0, " 7" gives 0 (no blank skipping).
double leadingNumber(QStringView text);

// The fuller numeric reading used by the built-in command file: blanks, tabs and line
// feeds are ignored wherever they stand; then an optional sign, digits with at most one
// decimal point and an optional exponent, or &H hexadecimal, or &O octal digits; reading
// stops at the first character that cannot continue the number; nothing numeric gives 0.
double numericValue(QStringView text);

// Nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

// roundHalfEven into a 32-bit integer; nullopt when it does not fit (or is not finite).
std::optional<int32_t> roundToInt32(double value);

// roundHalfEven into 32 bits, saturating at the limits instead of failing.
int32_t roundToInt32Saturated(double value);

// Reads comma- or line-separated fields the way the program's text data files are
// written: blanks before a field are skipped; a field that opens with a double quote
// runs to the next double quote (commas and line breaks inside belong to it); any other
// field runs to the next comma or line end, trailing blanks dropped.
class SequentialFieldReader {
public:
    explicit SequentialFieldReader(QString text);

    // The next field, or nullopt at the end of the text. Blank lines are not fields; text
    // between a closing quote and the next delimiter is dropped; an unclosed quoted field
    // runs to the end of the text.
    std::optional<QString> next();

    // The rest of the current line, without its line end (CR LF, LF or CR); nullopt at the
    // end of the text. For files that hold whole lines before their fields.
    std::optional<QString> nextLine();
    bool atEnd() const;
    // The text not read yet.
    QString rest() const { return m_text.mid(m_pos); }

private:
    QString m_text;
    qsizetype m_pos = 0;
};

// A quoted field in which a doubled double quote stands for one, so any text survives a
// write and a read; text without quotes reads as the plain quoted form always did.
// quoteField gives the field with its quotes; readQuotedField reads one that opens at
// text[pos] (a double quote) and leaves pos after its closing quote; a field that is never
// closed runs to the end of text, and *closed tells which it was.
QString quoteField(const QString& text);
QString readQuotedField(QStringView text, qsizetype& pos, bool* closed = nullptr);

// The program's text files are written in UTF-8. Bytes that are not valid UTF-8 come from
// elsewhere and are read as Windows-1252, so their accents survive. A UTF-8 byte-order
// mark is dropped.
QString decodeTextFile(const QByteArray& bytes);
