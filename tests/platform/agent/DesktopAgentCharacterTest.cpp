#include "platform/agent/AgentWindow.h"
#include "platform/agent/DesktopAgentCharacters.h"

#include "TestCharacter.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

const QString kId = QStringLiteral("VorlixAgent");
const QColor kBodyColor(0, 255, 0);
const QColor kShowColor(255, 0, 0);

class DesktopAgentCharacterTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        env.setEnv("VORLIX_TTS_OUT", env.path("speech"));
        path = TestCharacter::write(env.root());
        ASSERT_TRUE(characters.load(kId, path).ok());
        character = characters.item(kId);
        QObject::connect(character, &DesktopAgentCharacter::requestStarted, [this](const QString& op) {
            events << "start " + op;
        });
        QObject::connect(character, &DesktopAgentCharacter::requestFinished, [this](const QString& op) {
            events << "end " + op;
        });
    }

    bool waitUntilIdle()
    {
        QSignalSpy idle(character, &DesktopAgentCharacter::idle);
        return !character->isBusy() || idle.wait(30000);
    }

    QColor centreColor() const { return character->window().image().pixelColor(5, 5); }

    QString path;
    DesktopAgentCharacters characters;
    DesktopAgentCharacter* character = nullptr;
    QStringList events;
};

// The sizes come from a 16-bit caller: 0, 65535 and the like must not blow up the window.
TEST_F(DesktopAgentCharacterTest, WindowTakesTheCallersSizeNeverTheFocusAndIsDraggable)
{
    EXPECT_EQ(character->originalWidth(), 40);
    character->setWidth(80);
    character->setHeight(20);
    for (const int16_t absurd : {int16_t(0), int16_t(-1) /* 65535 */, int16_t(30000)}) {
        character->setWidth(absurd);
        character->setHeight(absurd);
    }
    character->show(true);   // fast: straight to the body, no "Show" frame
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(character->window().image().size(), QSize(80, 20));
    EXPECT_EQ(centreColor(), kBodyColor);

    auto& window = const_cast<AgentWindow&>(character->window());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    const QPoint start = character->position();
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&window, QPoint(40, 50));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(40, 50));
    EXPECT_EQ(character->position(), start + QPoint(30, 40));
}

TEST_F(DesktopAgentCharacterTest, RequestsRunLaterAndInTheOrderIssued)
{
    character->show(true);
    EXPECT_FALSE(character->isVisible());   // nothing runs inside the caller's call
    EXPECT_TRUE(character->play("wave").ok());
    EXPECT_FALSE(character->play("Cartwheel").ok());
    character->moveTo(100, 50);
    character->speak(R"(\Spd=200\)");   // nothing to say: must not hold up the queue
    character->hide(true);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(events, QStringList({"start Show", "end Show", "start Play", "end Play", "start MoveTo", "end MoveTo",
                                   "start Speak", "end Speak", "start Hide", "end Hide"}));
    EXPECT_EQ(character->position(), QPoint(100, 50));
    EXPECT_FALSE(character->isVisible());
}

TEST_F(DesktopAgentCharacterTest, StopEndsTheRunningAnimationAndDropsThePending)
{
    character->show(false);
    character->hide(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(centreColor(), kShowColor);   // the minute-long "Show" frame

    character->stop();
    EXPECT_EQ(events, QStringList({"start Show", "end Show"}));
    EXPECT_EQ(centreColor(), kBodyColor);
    EXPECT_FALSE(character->isBusy());
    EXPECT_TRUE(character->isVisible());

    character->hide(false);   // the queue still works after a stop
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_FALSE(character->isVisible());
}

// The one real speech test: the voice takes its time without a sound device, the
// tags are not spoken, the balloon shows the words and the mouth moves.
TEST_F(DesktopAgentCharacterTest, HideAfterSpeakWaitsForTheSpeech)
{
    bool sawOpenMouth = false;
    bool visibleWhenSpeechEnded = false;
    bool balloonShownWhenSpeechEnded = false;
    QTimer mouthWatch;
    QObject::connect(&mouthWatch, &QTimer::timeout, [&] {
        sawOpenMouth |= character->window().image().pixelColor(20, 30) == QColor(Qt::white);
    });
    QObject::connect(character, &DesktopAgentCharacter::requestFinished, [&](const QString& op) {
        if (op == "Speak") {
            visibleWhenSpeechEnded = character->isVisible();
            balloonShownWhenSpeechEnded = character->balloonWindow().isVisible();
        }
    });
    mouthWatch.start(5);

    character->show(true);
    character->speak("Hello there");
    character->speak(R"(\Pit=50\\Spd=180\\Chr="Normal"\Hello there)");
    character->hide(true);
    ASSERT_TRUE(waitUntilIdle());

    EXPECT_TRUE(visibleWhenSpeechEnded);
    EXPECT_TRUE(balloonShownWhenSpeechEnded);
    EXPECT_FALSE(character->balloonWindow().isVisible());
    EXPECT_TRUE(sawOpenMouth);

    const QStringList wavs = QDir(env.path("speech")).entryList({"*.wav"}, QDir::Files, QDir::Name);
    ASSERT_EQ(wavs.size(), 2);
    const QByteArray plain = env.readFile(env.path("speech/" + wavs[0]));
    const QByteArray tagged = env.readFile(env.path("speech/" + wavs[1]));
    ASSERT_GT(plain.size(), 44 + 22050);   // more than half a second of 16-bit samples
    // A header whose sizes disagree with the data plays as noise or not at all.
    EXPECT_EQ(qFromLittleEndian<quint32>(plain.constData() + 40), quint32(plain.size() - 44));
    EXPECT_EQ(qFromLittleEndian<quint32>(plain.constData() + 4), quint32(plain.size() - 8));
    // Spoken tags would add seconds of "backslash pit equals...".
    EXPECT_LT(tagged.size(), plain.size() * 13 / 10);
}

TEST_F(DesktopAgentCharacterTest, StopEndsAHugeSpeechAtOnce)
{
    QString text;
    for (int i = 0; text.size() < 100000; ++i)
        text += QStringLiteral("Sentence number %1 goes on. ").arg(i);
    QSignalSpy started(character, &DesktopAgentCharacter::requestStarted);
    character->show(true);
    character->speak(text);
    character->hide(true);
    while (started.count() < 2)
        ASSERT_TRUE(started.wait(30000));
    character->stop();
    EXPECT_EQ(events.last(), "end Speak");
    EXPECT_FALSE(character->isBusy());
    EXPECT_TRUE(character->isVisible());   // the Hide was dropped with the queue
}

TEST(DesktopAgentSpeakingTest, ListenerHearsSpeechStartAndEndAndAnUnloadEndsIt)
{
    IsolatedEnvironment env;
    DesktopAgentCharacters characters;
    std::vector<bool> told;
    characters.setSpeakingListener([&told](bool speaking) { told.push_back(speaking); });
    ASSERT_TRUE(characters.load(kId, TestCharacter::write(env.root())).ok());
    DesktopAgentCharacter* character = characters.item(kId);

    QSignalSpy idle(character, &DesktopAgentCharacter::idle);
    character->show(true);
    character->speak("Hi");
    character->hide(true);
    ASSERT_TRUE(idle.wait(30000));
    EXPECT_EQ(told, std::vector<bool>({true, false})) << "show and hide are no speech";

    // Unloading mid-sentence must not leave the listener believing speech goes on.
    character->speak("A sentence that is still going when the character goes away");
    QCoreApplication::processEvents();
    told.clear();
    ASSERT_TRUE(characters.unload(kId).ok());
    EXPECT_EQ(told.back(), false);
}

} // namespace
