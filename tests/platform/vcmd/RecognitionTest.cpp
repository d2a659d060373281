// Real recognition on speech synthesised at test time: kept to a handful of utterances.

#include "SpeechFixtures.h"

#include "platform/vcmd/SphinxRecognizer.h"
#include "platform/vcmd/SphinxVoiceCommandControl.h"

#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const QStringList kMenu = {"Calculator", "Notepad", "Control Panel", "My Documents", "LibreOffice Writer",
    "Macro 4", "Stop Listening", "Web Sites"};

class RecognizerTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        auto created = SphinxRecognizer::create({});
        ASSERT_TRUE(created.ok()) << created.error().message.toStdString();
        recognizer = std::move(created.value());
        recognizer->setPhrases(kMenu);
    }

    // What fired while hearing the audio followed by a second of quiet.
    QStringList fired(const std::vector<int16_t>& audio)
    {
        const auto all = joined({audio, roomQuiet(1000)});
        QStringList out;
        for (const Hearing& h : recognizer->process(all.data(), all.size()))
            if (h.fired)
                out << h.phrase;
        return out;
    }

    std::unique_ptr<SphinxRecognizer> recognizer;
};

// One recogniser through a stream of utterances, as in use: what is in the menu is heard in
// several voices, and ordinary speech, near misses, noise and music fire nothing.
TEST_F(RecognizerTest, HearsTheMenuAndNothingElse)
{
    const QString dir = env.root();
    recognizer->setPhrases(kMenu + QStringList{"Listen", "Hide", "Show", "Cut", "Copy", "Paste", "YouTube", "Undo",
        "Mute", "What Time Is It", "Next Song", "***"});
    EXPECT_EQ(recognizer->compile(), QStringList{"***"});   // the one phrase that cannot be said is left out
    // Before it has heard anyone, the recogniser's idea of the voice is the model's; short
    // words are missed with it unless the utterance is looked at again on its own terms.
    EXPECT_EQ(fired(synthesizeSpeech("Listen", dir, {"en-us+klatt2", 150})), QStringList{"Listen"});
    EXPECT_EQ(fired(synthesizeSpeech("Calculator", dir)), QStringList{"Calculator"});
    EXPECT_EQ(fired(synthesizeSpeech("macro four", dir)), QStringList{"Macro 4"});
    EXPECT_EQ(fired(synthesizeSpeech("LibreOffice Writer", dir, {"en-gb", 170})), QStringList{"LibreOffice Writer"});
    EXPECT_EQ(fired(synthesizeSpeech("Control Panel", dir, {"en-us+f3", 170})), QStringList{"Control Panel"});
    EXPECT_EQ(fired(synthesizeSpeech("What time is it", dir, {"en-us+m6", 150})), QStringList{"What Time Is It"});
    EXPECT_EQ(fired(synthesizeSpeech("Next song", dir, {"flite:slt", 150})), QStringList{"Next Song"});

    EXPECT_EQ(fired(synthesizeSpeech("The meeting has been moved to Thursday afternoon", dir)), QStringList{});
    EXPECT_EQ(fired(synthesizeSpeech("Open the calculator please", dir, {"en-us+m3", 160})), QStringList{});
    EXPECT_EQ(fired(synthesizeSpeech("Stop listening to the radio", dir, {"en-us+m6", 150})), QStringList{});
    EXPECT_EQ(fired(synthesizeSpeech("Could you pass me the salt please", dir)), QStringList{});
    // Words said after a whole phrase make it another sentence, not the phrase.
    EXPECT_EQ(fired(synthesizeSpeech("What time is the meeting", dir, {"en-us+m6", 150})), QStringList{});
    std::vector<int16_t> noise(16000 * 3);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = int16_t((i * 2654435761u >> 7) % 4001) - 2000;
    EXPECT_EQ(fired(noise), QStringList{});
    // Beats of pure chords fit short words once the recogniser normalises them as speech.
    EXPECT_EQ(fired(musicChords(10)), QStringList{});
    // A singer over the chords is a voice: heard, and rejected as speech outside the menu.
    auto song = musicChords(5);
    const auto singer = synthesizeSpeech("I will always love you my darling", dir, {"flite:slt", 120, 0, 260});
    for (size_t i = 0; i < singer.size() && 8000 + i < song.size(); ++i)
        song[8000 + i] = int16_t(std::clamp(song[8000 + i] + singer[i], -32768, 32767));
    EXPECT_EQ(fired(song), QStringList{});
}

TEST_F(RecognizerTest, LoudNoiseIsMeasuredAndAClearPhraseInItStillFires)
{
    // Below 25 dB the utterance is decoded again with the noise taken out; a phrase said
    // clearly still fires, and the noise that goes on after it starts no utterances.
    const auto noisy = synthesizeSpeech("Calculator", env.root(), {"en-us+m6", 150, 10});
    const std::vector<int16_t> noiseAlone(noisy.begin(), noisy.begin() + 16000);
    const auto all = joined({noisy, noiseAlone, noiseAlone, noiseAlone});
    const auto hearings = recognizer->process(all.data(), all.size());
    ASSERT_EQ(hearings.size(), 1u);
    EXPECT_GT(hearings.front().snrDb, 6);
    EXPECT_LT(hearings.front().snrDb, 18);
    EXPECT_TRUE(hearings.front().fired) << hearings.front().heard.toStdString();
    EXPECT_EQ(hearings.front().phrase, "Calculator");
    EXPECT_FALSE(recognizer->isInSpeech());
    const auto clean = joined({roomQuiet(300), synthesizeSpeech("Calculator", env.root()), roomQuiet(1000)});
    const auto quiet = recognizer->process(clean.data(), clean.size());
    ASSERT_FALSE(quiet.empty());
    EXPECT_GT(quiet.back().snrDb, 40);

    // Without a temporary folder the look in noise does without its fitted model, and hears.
    env.setEnv("TMPDIR", env.path("missing"));
    auto plain = SphinxRecognizer::create({});
    ASSERT_TRUE(plain);
    plain.value()->setPhrases({"Calculator"});
    const auto again = plain.value()->process(all.data(), all.size());
    ASSERT_EQ(again.size(), 1u);
    EXPECT_TRUE(again.front().fired);
}

// The words in a room where the noise never stops: four seconds of it before, two after.
std::vector<int16_t> inSteadyNoise(const QString& text, const QString& folder, const SpeechOptions& options)
{
    const auto noisy = synthesizeSpeech(text, folder, options);
    const std::vector<int16_t> bed(noisy.begin(), noisy.begin() + 16000);
    return joined({bed, bed, bed, bed, noisy, bed, bed});
}

TEST_F(RecognizerTest, InLoudNoiseShortPhrasesFireAndFirstWordsAloneDoNot)
{
    // Whether the speaker stopped after the first words of a phrase is judged on the
    // utterance with the noise taken out. Judged on the live path at the pause, a guess among
    // the hiss, short phrases were held back and a first word went through as its phrase.
    recognizer->setPhrases(kMenu + QStringList{"Next Tab", "Next Song", "New Tab", "Previous Song", "Clock",
        "Close Window", "Close Tab", "Mute", "Music Player", "Paste", "Page Up", "Page Down", "Print", "Go Home",
        "Go to End", "Google", "Front Left", "Front Right"});
    const QString dir = env.root();
    EXPECT_EQ(fired(inSteadyNoise("Mute", dir, {"en-us+f2", 150, 10})), QStringList{"Mute"});
    EXPECT_EQ(fired(inSteadyNoise("Paste", dir, {"en-us+f2", 150, 10})), QStringList{"Paste"});
    EXPECT_EQ(fired(inSteadyNoise("Next", dir, {"en-us+klatt2", 150, 10})), QStringList{});
    EXPECT_EQ(fired(inSteadyNoise("Page", dir, {"en-us+f2", 150, 10})), QStringList{});
    // Where the search cannot tell at the pause whether the phrase is complete, the silence
    // is waited out; what the reduction leaves of that wait must not count as more words.
    EXPECT_EQ(fired(inSteadyNoise("Macro 4", dir, {"en-us+f2", 150, 10})), QStringList{"Macro 4"});
}

// Menus of several sizes, with two-word phrases whose first words are also phrases' or
// sound like one ("Front" and "Print").
class PausedPhraseTest : public RecognizerTest, public testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        RecognizerTest::SetUp();
        QStringList menu = kMenu + QStringList{"Front Left", "Front Right", "Print", "Start", "Start Menu",
            "Close Window", "Close Tab", "Zoom In", "Zoom Out"};
        for (const char* a : {"Kitchen", "Budget", "Family", "Holiday", "Weekly", "School", "Garden", "Travel",
                 "Music", "Recipe", "Invoice", "Summer", "Winter", "Health"})
            for (const char* n : {"Report", "Notes", "Plan", "Letter", "Folder", "Photos", "List", "Schedule",
                     "Summary", "Draft", "Archive", "Backup", "Slides", "Ideas", "Minutes"})
                if (menu.size() < GetParam())
                    menu << QStringLiteral("%1 %2").arg(a, n);
        recognizer->setPhrases(menu);
    }

    // The phrase that fired, if any, and how long after the end of the sound the utterance ended.
    std::pair<QString, int> heardAfter(const std::vector<int16_t>& speech)
    {
        const int64_t soundEnd = recognizer->samplesProcessed() + int64_t(speech.size());
        const auto all = joined({speech, roomQuiet(1500)});
        for (const Hearing& h : recognizer->process(all.data(), all.size()))
            if (h.fired || h.phrase.isEmpty())
                return {h.fired ? h.phrase : QString(), int((h.endedSample - soundEnd) / 16)};
        return {};
    }
};

TEST_P(PausedPhraseTest, PausesBetweenWordsDoNotSplitThePhraseAndTheEndWaitsOnlyWhereTheMenuGoesOn)
{
    const QString dir = env.root();
    EXPECT_EQ(heardAfter(spokenWithPauses({"Front", "Left"}, 450, dir, {"en-us+f2", 160})).first, "Front Left");
    EXPECT_EQ(heardAfter(spokenWithPauses({"Close", "Window"}, 600, dir, {"en-us+klatt2", 150})).first, "Close Window");
    EXPECT_EQ(heardAfter(spokenWithPauses({"Front", "Right"}, 300, dir, {"en-us+m6", 170})).first, "Front Right");
    // Nothing continues "Calculator": the utterance ends after the short silence.
    const auto [complete, completeEndMs] = heardAfter(synthesizeSpeech("Calculator", dir, {"en-us+m6", 160}));
    EXPECT_EQ(complete, "Calculator");
    EXPECT_LT(completeEndMs, 450);
    // "Start" may go on to "Start Menu": it is heard, after the longer silence.
    const auto [continuable, continuableEndMs] = heardAfter(spokenWithPauses({"Start"}, 0, dir, {"en-us+m6", 160}));
    EXPECT_EQ(continuable, "Start");
    EXPECT_GE(continuableEndMs, 700);
    // "Front" alone is only the start of phrases: it must not end as the nearest whole one, "Print".
    EXPECT_EQ(heardAfter(spokenWithPauses({"Front"}, 0, dir, {"en-us+m6", 160})).first, "");
}

INSTANTIATE_TEST_SUITE_P(MenuSizes, PausedPhraseTest, testing::Values(60, 200));

class LiveControlTest : public IsolatedTest {
protected:
    LiveControlTest() : control(pushedInput()), spy(&control, &VoiceCommandControl::phraseRecognized)
    {
        menu = control.createMenu("MainMenu", "state1", 4).value();
        for (const QString& phrase : kMenu)
            control.addEntry(menu, 0, phrase, "", phrase, 0, phrase);
        control.activateMenu(menu);
        QCoreApplication::processEvents();   // the phrases reach the worker before any audio
    }

    SphinxVoiceCommandControl control;
    QSignalSpy spy;
    int32_t menu = 0;
};

TEST_F(LiveControlTest, DeactivatingDropsThePhraseBeingDecoded)
{
    // The phrase is in the worker's hands, its end not yet heard, when the menu goes quiet.
    control.pushAudio(synthesizeSpeech("Calculator", env.root()));
    control.deactivateMenu(menu);
    control.pushAudio(roomQuiet(1000));
    control.activateMenu(menu);
    QCoreApplication::processEvents();
    control.pushAudio(joined({synthesizeSpeech("Control Panel", env.root()), roomQuiet(1000)}));
    ASSERT_TRUE(spy.wait(60000));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(6).toString(), "Control Panel");
}

TEST_F(LiveControlTest, OwnSpeechAndItsTailAreNotActedOnAndHeardPhrasesReachTheUserInterfaceThread)
{
    QThread* receivedOn = nullptr;
    QObject::connect(&control, &VoiceCommandControl::phraseRecognized, &control,
            [&receivedOn] { receivedOn = QThread::currentThread(); }, Qt::DirectConnection);
    const auto calculator = synthesizeSpeech("Calculator", env.root());
    control.setOutputActive(true);
    control.pushAudio(joined({calculator, roomQuiet(1000)}));
    control.setOutputActive(false);
    // Said within the tail after the speech ended: still ignored.
    control.pushAudio(joined({roomQuiet(100), calculator, roomQuiet(1000)}));
    control.pushAudio(joined({roomQuiet(500), synthesizeSpeech("Control Panel", env.root()), roomQuiet(1000)}));
    ASSERT_TRUE(spy.wait(60000));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(6).toString(), "Control Panel");
    EXPECT_EQ(receivedOn, QCoreApplication::instance()->thread());
}

class AudioFileInputTest : public IsolatedTest {};

TEST_F(AudioFileInputTest, FileIsHeardFromTheMomentAMenuIsActiveAndAMissingOneIsReported)
{
    const QString wav = writeWav(env.path("say.wav"), joined({roomQuiet(300), synthesizeSpeech("Control Panel", env.root())}));
    SphinxVoiceCommandControl control{fileInput(wav)};
    QSignalSpy recognized(&control, &VoiceCommandControl::phraseRecognized);
    QSignalSpy finished(&control, &SphinxVoiceCommandControl::inputFinished);
    const int32_t menu = control.createMenu("MainMenu", "state1", 4).value();
    control.addEntry(menu, 0, "Control Panel", "", "Control Panel", 0, "Control Panel");
    control.activateMenu(menu);
    ASSERT_TRUE(finished.wait(60000));
    ASSERT_EQ(recognized.count(), 1);
    EXPECT_EQ(recognized.at(0).at(6).toString(), "Control Panel");

    SphinxVoiceCommandControl absent{fileInput(env.path("absent.wav"))};
    QSignalSpy problem(&absent, &SphinxVoiceCommandControl::audioProblemChanged);
    ASSERT_TRUE(problem.wait(60000));
    EXPECT_TRUE(absent.audioProblem().contains("absent.wav"));
}

class HearToolTest : public IsolatedTest {
protected:
    QString tool() const { return qEnvironmentVariable("VORLIX_BUILD_DIR") + "/bin/vorlix-hear"; }
};

TEST_F(HearToolTest, PrintsOneLinePerWavAndHearsPastADamagedAdaptation)
{
    IsolatedEnvironment::writeFile(env.path("phrases.txt"), "  Web Sites  \n\nCalculator\nMacro 4\n");
    IsolatedEnvironment::writeFile(env.path("data/vorlix/adaptation/mllr_matrix"), "not a transform\n");
    const QString hit = writeWav(env.path("hit.wav"), synthesizeSpeech("web sites", env.root()));
    const QString miss = writeWav(env.path("miss.wav"), synthesizeSpeech("Could you pass me the salt please", env.root()));
    // Noise runs on for two seconds after the phrase: the latency still counts from its end.
    std::vector<int16_t> hum(32000);
    for (size_t i = 0; i < hum.size(); ++i)
        hum[i] = int16_t((i * 2654435761u >> 9) % 301) - 150;
    const QString trailing = writeWav(env.path("trailing.wav"), joined({synthesizeSpeech("Calculator", env.root()), hum}));
    QProcess process;
    process.start(tool(), {"--phrases", env.path("phrases.txt"), hit, miss, trailing});
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(process.readAllStandardError().contains("does not load"));
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    // The file, the phrase as written or nothing, the score, and milliseconds after the speech.
    const QStringList first = lines[0].split('\t'), second = lines[1].split('\t'), third = lines[2].split('\t');
    ASSERT_TRUE(first.size() == 4 && second.size() == 4 && third.size() == 4) << lines.join('|').toStdString();
    EXPECT_EQ(first.mid(0, 2), (QStringList{hit, "Web Sites"}));
    EXPECT_GE(first[3].toInt(), 0);
    EXPECT_EQ(second[1], "");
    EXPECT_EQ(third[1], "Calculator");
    EXPECT_GE(third[3].toInt(), 250);
    EXPECT_LE(third[3].toInt(), 1500);
}

TEST_F(HearToolTest, MissingAndBrokenFilesAreReportedAsFailures)
{
    IsolatedEnvironment::writeFile(env.path("phrases.txt"), "Calculator\n");
    IsolatedEnvironment::writeFile(env.path("broken.wav"), "RIFF....WAVEjunk");
    // A phrase list that is not there, and a damaged recording: each is named.
    for (const auto& [phrases, named] : {std::pair{env.path("absent.txt"), "absent.txt"},
             std::pair{env.path("phrases.txt"), "broken.wav"}}) {
        QProcess process;
        process.start(tool(), {"--phrases", phrases, env.path("broken.wav")});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 1);
        EXPECT_TRUE(process.readAllStandardError().contains(named));
    }
}

} // namespace
