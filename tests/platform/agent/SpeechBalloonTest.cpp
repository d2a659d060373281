#include "platform/agent/SpeechBalloon.h"

#include <gtest/gtest.h>

namespace {

// The balloon shows only what was spoken, but sizes itself on the whole text so it does not
// jump; a long text shows its last lines, ending with the latest word.
TEST(SpeechBalloonTest, ShowsOnlyWhatWasSpokenInAFixedSize)
{
    SpeechBalloon balloon;
    const QString text = QStringLiteral("Hello there.\r\nSecond line");
    EXPECT_TRUE(balloon.visibleLines(text, QString()).isEmpty());
    EXPECT_EQ(balloon.visibleLines(text, text.left(5)), QStringList{"Hello"});
    EXPECT_EQ(balloon.visibleLines(text, text).join(' ').simplified(), "Hello there. Second line");
    EXPECT_EQ(balloon.render(text, QString(), true, 10).size(), balloon.render(text, text, true, 10).size());

    QString longText;
    for (int i = 0; i < 20000; ++i)
        longText += QStringLiteral("word%1 ").arg(i);
    const QStringList lines = balloon.visibleLines(longText, longText);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_LE(lines.size(), SpeechBalloon::kMaxLines);
    EXPECT_TRUE(lines.back().endsWith("word19999"));
    EXPECT_FALSE(balloon.render(longText, longText.left(50000), true, 40).isNull());
}

struct PlaceCase {
    const char* label;
    QRect character;
    bool tailDown;
};
void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.label; }

class BalloonPlacementTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(BalloonPlacementTest, StaysOnScreenAndPointsAtTheCharacter)
{
    const QRect screen(0, 0, 1280, 800);
    const QSize balloon(200, 60);
    bool tailDown = false;
    int tailX = -1;
    const QPoint topLeft = SpeechBalloon::placement(balloon, GetParam().character, screen, &tailDown, &tailX);
    const QRect placed(topLeft, balloon);
    EXPECT_EQ(tailDown, GetParam().tailDown);
    EXPECT_TRUE(screen.contains(QRect(placed.left(), screen.top(), placed.width(), 1)));   // horizontally inside
    EXPECT_EQ(tailDown ? placed.bottom() + 1 : placed.top() - 1,
              tailDown ? GetParam().character.top() : GetParam().character.bottom());
    EXPECT_GE(tailX, 0);
    EXPECT_LE(tailX, balloon.width());
}

INSTANTIATE_TEST_SUITE_P(Places, BalloonPlacementTest, testing::Values(
    PlaceCase{"top edge: below", QRect(600, 10, 160, 200), false},
    PlaceCase{"left edge", QRect(-50, 400, 160, 200), true},
    PlaceCase{"right edge", QRect(1200, 400, 160, 200), true}));

} // namespace
