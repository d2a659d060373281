#pragma once
// The speech balloon's look: lays out the words spoken so far in the set font, keeps
// the last few lines when the text is longer, and paints the bubble with its tail
// pointing at the character. Sized from the whole utterance, so it does not jump
// while the words appear. Widget-free; UI thread (fonts).

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

class SpeechBalloon {
public:
    static constexpr int kMaxLines = 3;
    static constexpr int kTailPixels = 14;

    void setFont(const QFont& font) { m_font = font; }
    const QFont& font() const { return m_font; }

    // The last kMaxLines lines of spoken text, wrapped to the balloon's width.
    QStringList visibleLines(const QString& fullText, const QString& spoken) const;
    QSize bubbleSize(const QString& fullText) const;   // tail excluded
    QSize imageSize(const QString& fullText) const;    // what render() paints, tail included
    // tailX: where the tail meets the bubble, from its left edge.
    QImage render(const QString& fullText, const QString& spoken, bool tailDown, int tailX) const;
    // Top-left of the balloon so that it points at character, inside screen.
    static QPoint placement(QSize balloon, const QRect& character, const QRect& screen, bool* tailDown, int* tailX);

private:
    int textWidth(const QString& fullText) const;
    QStringList wrap(const QString& text, int width) const;

    QFont m_font;
};
