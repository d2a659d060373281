#include "platform/vcmd/SpeakerAdaptation.h"

#include "SpeechFixtures.h"
#include "platform/vcmd/SphinxRecognizer.h"
#include "platform/vcmd/SphinxVoiceCommandControl.h"
#include "platform/vcmd/TrainingDialog.h"
#include "tests/fakes/FakeToolRunner.h"
#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

QByteArray littleInt(uint32_t value)
{
    QByteArray out(4, '\0');
    qToLittleEndian<uint32_t>(value, out.data());
    return out;
}

QByteArray lengthPrefixed(const QByteArray& text) { return littleInt(uint32_t(text.size() + 1)) + text + '\0'; }

// A compressed weight file: the given header lines, then codewords x senones per feature.
QByteArray sendump(const QList<QByteArray>& header, uint32_t codewords, uint32_t senones, const QByteArray& weights)
{
    QByteArray out = lengthPrefixed("title");
    for (const QByteArray& line : header)
        out += lengthPrefixed(line);
    return out + littleInt(0) + littleInt(codewords) + littleInt(senones) + weights;
}

std::vector<AdaptationRecording> recordings(int count)
{
    std::vector<AdaptationRecording> out;
    const QStringList phrases = SpeakerAdaptation::sessionPhrases();
    for (int i = 0; i < count; ++i)
        out.push_back({phrases[i % phrases.size()], std::vector<int16_t>(8000, int16_t(i))});
    return out;
}

class AdaptationTest : public IsolatedTest {
protected:
    QString folder() const { return env.path("adaptation"); }
    QByteArray stored() const { return IsolatedEnvironment::readFile(folder() + "/mllr_matrix"); }
    FakeToolRunner tools;
};

TEST_F(AdaptationTest, CompressedWeightsAreExpandedStreamByStream)
{
    // 2 features x 3 codewords x 2 senones; byte b stands for 1.0001^-(b << shift).
    const QByteArray bytes("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b", 12);
    env.writeFile(env.path("sendump"), sendump({"mixw_shift 4", "feature_count 2", "cluster_count 0"}, 3, 2, bytes));
    ASSERT_TRUE(SpeakerAdaptation::convertMixtureWeights(env.path("sendump"), env.path("mixw")));

    // The tools' layout: a text header, then magic, three dimensions, the count and the floats.
    const QByteArray file = IsolatedEnvironment::readFile(env.path("mixw"));
    const qsizetype data = file.indexOf("endhdr\n") + 7;
    ASSERT_EQ(data % 4, 0);
    ASSERT_EQ(file.size(), data + 5 * 4 + 12 * 4);
    uint32_t header[5];
    float values[12];
    std::memcpy(header, file.constData() + data, sizeof header);
    std::memcpy(values, file.constData() + data + sizeof header, sizeof values);
    EXPECT_EQ((std::vector<uint32_t>(header, header + 5)), (std::vector<uint32_t>{0x11223344u, 2, 2, 3, 12}));
    // Written [senone][feature][codeword]; read [feature][codeword][senone].
    for (int s = 0; s < 2; ++s)
        for (int f = 0; f < 2; ++f)
            for (int c = 0; c < 3; ++c)
                EXPECT_FLOAT_EQ(values[(s * 2 + f) * 3 + c], float(std::pow(1.0001, -((f * 6 + c * 2 + s) << 4))))
                    << s << f << c;
}

TEST_F(AdaptationTest, DamagedWeightFilesAreRefused)
{
    const QByteArray six(6, '\x01');
    const std::pair<const char*, QByteArray> cases[] = {
        {"truncated", sendump({"feature_count 1"}, 3, 2, six.left(5))},
        {"too long", sendump({"feature_count 1"}, 3, 2, six + 'x')},
        {"clustered", sendump({"feature_count 1", "cluster_count 16"}, 3, 2, six)},
        {"header runs past the end", lengthPrefixed("title") + littleInt(200) + "short"},
        {"empty", {}},
    };
    for (const auto& [name, bytes] : cases) {
        env.writeFile(env.path("sendump"), bytes);
        EXPECT_FALSE(SpeakerAdaptation::convertMixtureWeights(env.path("sendump"), env.path("mixw"))) << name;
        EXPECT_FALSE(QFile::exists(env.path("mixw"))) << name;
    }
    EXPECT_FALSE(SpeakerAdaptation::convertModelDefinition(env.path("sendump"), env.path("mdef.txt")));
}

TEST_F(AdaptationTest, ASessionStoresTheTransformKeepsNoRecordingsAndForgets)
{
    QByteArray transcripts, dictionary;
    tools.onRun = [&](const QString& tool, const QStringList&) {
        if (tool == "bw") {
            transcripts = IsolatedEnvironment::readFile(folder() + "/session/transcripts");
            dictionary = IsolatedEnvironment::readFile(folder() + "/session/dictionary");
        }
    };
    std::vector<AdaptationRecording> input = recordings(6);
    input.insert(input.begin() + 1, {QStringLiteral("?!"), std::vector<int16_t>(8000)});   // no words
    input.insert(input.begin() + 2, {QStringLiteral("Open the morning news"), {}});        // no audio
    ASSERT_TRUE(SpeakerAdaptation(folder(), tools).adapt(input));

    EXPECT_EQ(tools.runs(), (QStringList{"sphinx_fe", "bw", "mllr_solve"}));
    EXPECT_TRUE(transcripts.startsWith("<s> open the morning news </s> (u0)\n<s> read my new mail aloud </s> (u1)\n"));
    EXPECT_EQ(transcripts.count('\n'), 6);
    EXPECT_EQ(dictionary.count("\nthe "), 1) << "each word once";
    EXPECT_TRUE(dictionary.contains("news N "));
    EXPECT_EQ(stored(), FakeToolRunner::identityTransform().toLower());
    EXPECT_FALSE(QDir(folder() + "/session").exists()) << "the recordings are not kept";

    ASSERT_TRUE(SpeakerAdaptation(folder(), tools).forget());
    EXPECT_TRUE(SpeakerAdaptation::storedTransform(folder()).isEmpty());
    EXPECT_FALSE(QDir(folder()).exists());
    EXPECT_TRUE(SpeakerAdaptation(folder(), tools).forget()) << "nothing to forget is no failure";
}

// Every way a session fails is reported as a failure and leaves the transform in use alone.
TEST_F(AdaptationTest, AFailedSessionKeepsTheOldTransform)
{
    const QString misaligned = QStringLiteral("ERROR: Failed to align audio to trancript\n").repeated(4);
    const struct {
        const char* tool;
        ToolRun answer;
        QByteArray transform;
        const char* messageHas;
    } cases[] = {
        {"bw", {false, -1, {}}, {}, "sphinxtrain"},   // not installed: say which package
        {"bw", {true, 1, "INFO: x\nFATAL: cannot read mdef\n"}, {}, "FATAL: cannot read mdef"},
        {"bw", {true, 0, misaligned}, {}, "Only 4 of 8"},
        {"mllr_solve", {true, -1, {}}, {}, ""},   // crashed
        {"mllr_solve", {true, 0, {}}, {}, ""},    // wrote nothing
        {"", {}, "1\n3\n13\nnan 1.0\n", ""},
    };
    QDir().mkpath(folder());
    env.writeFile(folder() + "/mllr_matrix", "the old one");
    for (const auto& c : cases) {
        FakeToolRunner failing;
        if (*c.tool)
            failing.answers[c.tool] = c.answer;
        if (!c.transform.isNull())
            failing.transform = c.transform;
        const auto done = SpeakerAdaptation(folder(), failing).adapt(recordings(8));
        ASSERT_FALSE(done) << c.tool;
        EXPECT_TRUE(done.error().message.contains(c.messageHas)) << done.error().message.toStdString();
        EXPECT_EQ(stored(), "the old one") << c.tool;
        EXPECT_FALSE(QDir(folder() + "/session").exists());
    }
    // Too few recordings to make a transform of: no tool is even started.
    EXPECT_FALSE(SpeakerAdaptation(folder(), tools).adapt(recordings(SpeakerAdaptation::kMinimumAligned - 1)));
    EXPECT_TRUE(tools.runs().isEmpty());
    EXPECT_EQ(stored(), "the old one");
}

// A mean [1 2] goes to [3 3] under the inner transform and to [6 10] under both; the
// variances are scaled by 1 then 3 and by 2 then 1.
TEST(TransformCompositionTest, TheOuterTransformActsOnWhatTheInnerOneMade)
{
    const QByteArray inner = "1\n1\n2\n2 0\n1 1\n1 0\n1 2\n";
    const QByteArray outer = "1\n1\n2\n1 1\n0 3\n0 1\n3 1\n";
    const auto both = SpeakerAdaptation::composeTransforms(outer, inner);
    ASSERT_TRUE(both) << both.error().message.toStdString();
    QList<double> values;
    for (const QByteArray& token : both.value().simplified().split(' '))
        values << token.toDouble();
    EXPECT_EQ(values, (QList<double>{1, 1, 2, 3, 1, 3, 3, 1, 1, 3, 2}));

    for (const QByteArray& damaged : {QByteArray("1\n1\n2\n2 0\n1 1\n1 0\n1\n"), QByteArray("2\n1\n2\n2 0\n1 1\n1 0\n1 2\n"),
             QByteArray("1\n1\n2\n2 0\n1 x\n1 0\n1 2\n"), QByteArray("1\n1\n3\n2 0 0\n1 1 0\n0 0 1\n0 0 0\n1 1 1\n"),
             QByteArray("1\n1\n2\n2 0\n1 1\n1 0\n1 2\n7\n"), QByteArray()})
        EXPECT_FALSE(SpeakerAdaptation::composeTransforms(outer, damaged)) << damaged.toStdString();
}

// The real tools on a few synthesised phrases: the transform they compute loads.
TEST_F(AdaptationTest, TheRealToolsAdaptToAVoice)
{
    std::vector<AdaptationRecording> input;
    for (const QString& phrase : SpeakerAdaptation::sessionPhrases().mid(0, 6))
        input.push_back({phrase, joined({roomQuiet(200), synthesizeSpeech(phrase, env.root(), {"en-gb", 160}), roomQuiet(200)})});
    ProcessToolRunner runner;
    const auto done = SpeakerAdaptation(folder(), runner).adapt(input);
    ASSERT_TRUE(done) << done.error().message.toStdString();

    SphinxRecognizer::Options options;
    options.mllrFile = SpeakerAdaptation::storedTransform(folder());
    ASSERT_FALSE(options.mllrFile.isEmpty());
    EXPECT_TRUE(SphinxRecognizer::create(options));
}

double energy(const std::vector<int16_t>& samples)
{
    double sum = 0;
    for (int16_t v : samples)
        sum += double(v) * v;
    return sum;
}

TEST_F(AdaptationTest, ARecordedUtteranceHoldsAllItsSpeechAndLittleElse)
{
    SphinxVoiceCommandControl control(pushedInput());
    const int32_t menu = control.createMenu("MainMenu", "state1", 4).value();
    control.addEntry(menu, 1, "Calculator", "", "", 0, "Calculator");
    control.activateMenu(menu);
    QCoreApplication::processEvents();   // the menu reaches the worker before the audio
    control.setRecordingUtterances(true);
    const std::vector<int16_t> speech = synthesizeSpeech("Read my new mail aloud", env.root());
    ASSERT_FALSE(speech.empty());
    QSignalSpy recorded(&control, &SphinxVoiceCommandControl::utteranceRecorded);
    // Far into the stream, so positions are not counted from the start of the recording.
    control.pushAudio(joined({roomQuiet(22000), speech, roomQuiet(1500)}));
    ASSERT_TRUE(recorded.wait(30000));
    const auto audio = recorded.last().at(1).value<std::vector<int16_t>>();
    EXPECT_GT(energy(audio), 0.95 * energy(speech));
    EXPECT_LT(audio.size(), speech.size() + 16000);
}

// The control and the dialog, with the tools faked.
TEST_F(AdaptationTest, ADamagedAdaptationFallsBackAndTheDialogAdaptsAndForgets)
{
    env.writeFile(env.path("damaged"), "not a transform");
    SphinxVoiceCommandControl control(pushedInput(env.path("damaged")));
    control.setAdaptationStore(folder(), std::shared_ptr<ToolRunner>(&tools, [](ToolRunner*) {}));
    QSignalSpy changed(&control, &SphinxVoiceCommandControl::adaptationChanged);
    ASSERT_TRUE(changed.wait(20000));   // the plain model is loaded instead, and listening goes on
    EXPECT_FALSE(changed.first().first().toBool());
    EXPECT_FALSE(control.isAdapted());
    EXPECT_TRUE(control.audioProblem().isEmpty());

    TrainingDialog dialog(control);
    auto* prompt = dialog.findChild<QLabel*>("lblPrompt");
    dialog.findChild<QPushButton*>("cmdAdapt")->click();
    const auto phrases = SpeakerAdaptation::sessionPhrases();
    const std::vector<int16_t> speech(16000, 100);
    emit control.utteranceRecorded({}, std::vector<int16_t>(800, 100));   // a click is no recording of the phrase
    EXPECT_TRUE(prompt->text().contains(phrases[0]));
    emit control.utteranceRecorded({}, speech);
    emit control.utteranceRecorded({}, speech);
    EXPECT_TRUE(prompt->text().contains(phrases[2]));
    dialog.findChild<QPushButton*>("cmdRepeat")->click();
    EXPECT_TRUE(prompt->text().contains(phrases[1]));

    QSignalSpy finished(&control, &SphinxVoiceCommandControl::adaptationFinished);
    for (qsizetype i = 1; i < phrases.size(); ++i)
        emit control.utteranceRecorded({}, speech);
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(finished.first().first().toString(), "");
    ASSERT_TRUE(changed.wait(20000));
    EXPECT_TRUE(changed.last().first().toBool());
    EXPECT_TRUE(control.isAdapted());

    dialog.findChild<QPushButton*>("cmdForget")->click();
    EXPECT_TRUE(SpeakerAdaptation::storedTransform(folder()).isEmpty());
    ASSERT_TRUE(changed.wait(20000));
    EXPECT_FALSE(changed.last().first().toBool());
}

} // namespace
