#include "platform/agent/SpeechBalloon.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr int kPadding = 9;
constexpr int kLineChars = 34;              // balloon width in average characters
constexpr qsizetype kLayoutTailChars = 800; // enough for kMaxLines of any sane font

} // namespace

QStringList SpeechBalloon::wrap(const QString& text, int width) const
{
    // Only the end of a long text can show; laying out the rest would be wasted.
    QString tail = text;
    if (tail.size() > kLayoutTailChars) {
        tail = tail.right(kLayoutTailChars);
        const qsizetype blank = tail.indexOf(QLatin1Char(' '));
        if (blank >= 0 && blank < 100)
            tail = tail.mid(blank + 1);
    }
    tail.replace(QLatin1Char('\n'), QChar::LineSeparator);
    tail.replace(QLatin1Char('\r'), QLatin1Char(' '));
    tail.replace(QLatin1Char('\t'), QLatin1Char(' '));
    QTextLayout layout(tail, m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << tail.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

int SpeechBalloon::textWidth(const QString& fullText) const
{
    const QFontMetrics metrics(m_font);
    const int maxWidth = std::max(60, metrics.averageCharWidth() * kLineChars);
    const QString head = fullText.left(kLayoutTailChars).simplified();
    return std::clamp(metrics.horizontalAdvance(head) + 2, 40, maxWidth);
}

QStringList SpeechBalloon::visibleLines(const QString& fullText, const QString& spoken) const
{
    const QStringList lines = wrap(spoken, textWidth(fullText));
    return lines.mid(std::max<qsizetype>(0, lines.size() - kMaxLines));
}

QSize SpeechBalloon::bubbleSize(const QString& fullText) const
{
    const int width = textWidth(fullText);
    const int lines = int(std::clamp<qsizetype>(wrap(fullText, width).size(), 1, kMaxLines));
    return {width + 2 * kPadding, lines * QFontMetrics(m_font).lineSpacing() + 2 * kPadding};
}

QSize SpeechBalloon::imageSize(const QString& fullText) const
{
    return bubbleSize(fullText) + QSize(2, kTailPixels + 2);
}

QImage SpeechBalloon::render(const QString& fullText, const QString& spoken, bool tailDown, int tailX) const
{
    const QSize bubble = bubbleSize(fullText);
    QImage image(imageSize(fullText), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF box(1, tailDown ? 1 : kTailPixels + 1, bubble.width(), bubble.height());
    const qreal x = std::clamp<qreal>(tailX, box.left() + 14, box.right() - 24);
    QPainterPath path;
    path.addRoundedRect(box, 9, 9);
    QPainterPath tail;
    if (tailDown) {
        tail.moveTo(x, box.bottom() - 2);
        tail.lineTo(x - 4, box.bottom() + kTailPixels);
        tail.lineTo(x + 12, box.bottom() - 2);
    } else {
        tail.moveTo(x, box.top() + 2);
        tail.lineTo(x - 4, box.top() - kTailPixels);
        tail.lineTo(x + 12, box.top() + 2);
    }
    path = path.united(tail);
    painter.setPen(QPen(QColor(60, 60, 60), 1.5));
    painter.setBrush(QColor(255, 255, 231));
    painter.drawPath(path);

    painter.setFont(m_font);
    painter.setPen(Qt::black);
    const int lineSpacing = QFontMetrics(m_font).lineSpacing();
    const QStringList lines = visibleLines(fullText, spoken);
    int y = int(box.top()) + kPadding + QFontMetrics(m_font).ascent();
    for (const QString& line : lines) {
        painter.drawText(int(box.left()) + kPadding, y, line);
        y += lineSpacing;
    }
    return image;
}

QPoint SpeechBalloon::placement(QSize balloon, const QRect& character, const QRect& screen, bool* tailDown, int* tailX)
{
    *tailDown = character.top() - balloon.height() >= screen.top();
    const int x = std::clamp(character.center().x() - balloon.width() / 2, screen.left(),
                             std::max(screen.left(), screen.right() + 1 - balloon.width()));
    const int y = *tailDown ? character.top() - balloon.height() : character.bottom() + 1;
    *tailX = std::clamp(character.center().x() - x, 0, balloon.width());
    return {x, y};
}
