#pragma once
// Turns a phrase as users write it ("Macro 4", "Tom & Jerry's", "C++") into the words a
// speaker says ("macro four", "tom and jerry's", "c plus plus"). Pure text: knows nothing
// of pronunciations, so the user-interface thread can call it freely.

#include <QString>
#include <QStringList>

class PhraseNormalizer {
public:
    // Lower-case words; empty when nothing in the phrase can be spoken.
    static QStringList spokenWords(const QString& phrase);
    // The words joined by single blanks: the key under which phrases compare.
    static QString spokenForm(const QString& phrase) { return spokenWords(phrase).join(QLatin1Char(' ')); }
    // 0 -> "zero", 4021 -> "four thousand twenty one"; numbers beyond 999,999,999 digit by digit.
    static QStringList numberWords(const QString& digits);
};
