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

const QString kInstalledModel = QStringLiteral("/usr/share/pocketsphinx/model/en-us/en-us/");

QByteArray lengthPrefixed(const QByteArray& text)
{
    QByteArray out(4, '\0');
    qToLittleEndian<uint32_t>(uint32_t(text.size() + 1), out.data());
    return out + text + '\0';
}

QByteArray littleInt(uint32_t value)
{
    QByteArray out(4, '\0');
    qToLittleEndian<uint32_t>(value, out.data());
    return out;
}

// A compressed weight file: the given header lines, then codewords x senones per feature.
QByteArray sendump(const QList<QByteArray>& header, uint32_t codewords, uint32_t senones, const QByteArray& weights)
{
    QByteArray out = lengthPrefixed("title");
    for (const QByteArray& line : header)
        out += lengthPrefixed(line);
    return out + littleInt(0) + littleInt(codewords) + littleInt(senones) + weights;
}

struct MixtureWeights {
    uint32_t dims[3] = {};
    std::vector<float> values;
};

MixtureWeights readMixtureWeights(const QByteArray& file)
{
    MixtureWeights result;
    const qsizetype end = file.indexOf("endhdr\n");
    if (end < 0)
        return result;
    const qsizetype data = end + 7;
    EXPECT_EQ(data % 4, 0);
    uint32_t header[5];
    std::memcpy(header, file.constData() + data, sizeof header);
    EXPECT_EQ(header[0], 0x11223344u);
    std::copy(header + 1, header + 4, result.dims);
    EXPECT_EQ(header[4], header[1] * header[2] * header[3]);
    result.values.resize(header[4]);
    std::memcpy(result.values.data(), file.constData() + data + sizeof header, header[4] * sizeof(float));
    return result;
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
    FakeToolRunner tools;
};

TEST_F(AdaptationTest, CompressedWeightsAreExpandedStreamByStream)
{
    // 2 features x 3 codewords x 2 senones; byte b stands for 1.0001^-(b << shift).
    const QByteArray bytes("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b", 12);
    env.writeFile(env.path("sendump"), sendump({"mixw_shift 4", "feature_count 2", "cluster_count 0"}, 3, 2, bytes));
    ASSERT_TRUE(SpeakerAdaptation::convertMixtureWeights(env.path("sendump"), env.path("mixw")));

    const MixtureWeights w = readMixtureWeights(IsolatedEnvironment::readFile(env.path("mixw")));
    ASSERT_EQ(w.values.size(), 12u);
    EXPECT_EQ((std::vector<uint32_t>{w.dims[0], w.dims[1], w.dims[2]}), (std::vector<uint32_t>{2, 2, 3}));
    // Written [senone][feature][codeword]; read [feature][codeword][senone].
    for (int s = 0; s < 2; ++s)
        for (int f = 0; f < 2; ++f)
            for (int c = 0; c < 3; ++c) {
                const int byte = f * 6 + c * 2 + s;
                EXPECT_FLOAT_EQ(w.values[size_t((s * 2 + f) * 3 + c)], float(std::pow(1.0001, -(byte << 4))))
                    << s << f << c;
            }
}

TEST_F(AdaptationTest, DamagedWeightFilesAreRefused)
{
    const QByteArray six(6, '\x01');
    const std::pair<const char*, QByteArray> cases[] = {
        {"truncated", sendump({"feature_count 1"}, 3, 2, six.left(5))},
        {"too long", sendump({"feature_count 1"}, 3, 2, six + 'x')},
        {"clustered", sendump({"feature_count 1", "cluster_count 16"}, 3, 2, six)},
        {"header runs past the end", lengthPrefixed("title") + littleInt(200) + "short"},
        {"no senones", sendump({"feature_count 1"}, 3, 0, {})},
        {"empty", {}},
    };
    for (const auto& [name, bytes] : cases) {
        env.writeFile(env.path("sendump"), bytes);
        EXPECT_FALSE(SpeakerAdaptation::convertMixtureWeights(env.path("sendump"), env.path("mixw"))) << name;
        EXPECT_FALSE(QFile::exists(env.path("mixw"))) << name;
    }
}

TEST_F(AdaptationTest, TheInstalledModelConvertsForTheTools)
{
    ASSERT_TRUE(SpeakerAdaptation::convertMixtureWeights(kInstalledModel + "sendump", env.path("mixw")));
    const MixtureWeights w = readMixtureWeights(IsolatedEnvironment::readFile(env.path("mixw")));
    EXPECT_EQ((std::vector<uint32_t>{w.dims[0], w.dims[1], w.dims[2]}), (std::vector<uint32_t>{5126, 3, 128}));
    double firstSenone = 0;   // one senone's weights over one stream's codewords sum to about 1
    for (int c = 0; c < 128; ++c)
        firstSenone += w.values[size_t(c)];
    EXPECT_NEAR(firstSenone, 1.0, 0.1);

    ASSERT_TRUE(SpeakerAdaptation::convertModelDefinition(kInstalledModel + "mdef", env.path("mdef.txt")));
    EXPECT_TRUE(IsolatedEnvironment::readFile(env.path("mdef.txt")).startsWith("0.3\n"));
    EXPECT_FALSE(SpeakerAdaptation::convertModelDefinition(env.path("mixw"), env.path("bad.txt")));
}

TEST_F(AdaptationTest, ASessionRunsTheToolsOnTheRecordingsAndStoresTheTransform)
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
    input.insert(input.begin() + 2, {QStringLiteral("Open the morning news"), {}});                  // no audio
    std::vector<int> percents;
    ASSERT_TRUE(SpeakerAdaptation(folder(), tools).adapt(input, [&](int p, const QString&) { percents.push_back(p); }));

    EXPECT_EQ(tools.runs(), (QStringList{"sphinx_fe", "bw", "mllr_solve"}));
    EXPECT_TRUE(transcripts.startsWith("<s> open the morning news </s> (u0)\n<s> read my new mail aloud </s> (u1)\n"));
    EXPECT_EQ(transcripts.count('\n'), 6);
    EXPECT_EQ(dictionary.count("\nthe "), 1) << "each word once";
    EXPECT_TRUE(dictionary.contains("news N "));
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(SpeakerAdaptation::storedTransform(folder()), folder() + "/mllr_matrix");
    EXPECT_EQ(IsolatedEnvironment::readFile(folder() + "/mllr_matrix"), FakeToolRunner::identityTransform().toLower());
    EXPECT_FALSE(QDir(folder() + "/session").exists()) << "the recordings are not kept";
    EXPECT_TRUE(QFile::exists(folder() + "/model/mixture_weights"));

    // The converted model is kept for the next session.
    env.writeFile(folder() + "/model/mixture_weights", "kept");
    ASSERT_TRUE(SpeakerAdaptation(folder(), tools).adapt(recordings(6)));
    EXPECT_EQ(IsolatedEnvironment::readFile(folder() + "/model/mixture_weights"), "kept");
}

struct FailureCase {
    const char* name;
    const char* tool;
    ToolRun answer;
    QByteArray transform;
    const char* messageHas;
};

class AdaptationFailureTest : public AdaptationTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(AdaptationFailureTest, FailsClearlyAndKeepsTheOldTransform)
{
    const FailureCase& c = GetParam();
    QDir().mkpath(folder());
    env.writeFile(folder() + "/mllr_matrix", "the old one");
    if (*c.tool)
        tools.answers[c.tool] = c.answer;
    if (!c.transform.isNull())
        tools.transform = c.transform;

    const auto done = SpeakerAdaptation(folder(), tools).adapt(recordings(8));
    ASSERT_FALSE(done);
    EXPECT_TRUE(done.error().message.contains(c.messageHas)) << done.error().message.toStdString();
    EXPECT_EQ(IsolatedEnvironment::readFile(folder() + "/mllr_matrix"), "the old one");
    EXPECT_FALSE(QDir(folder() + "/session").exists());
}

const QString kMisaligned = QStringLiteral("ERROR: Failed to align audio to trancript\n").repeated(4);

INSTANTIATE_TEST_SUITE_P(Adaptation, AdaptationFailureTest, ::testing::Values(
    FailureCase{"feature tool missing", "sphinx_fe", {false, -1, {}}, {}, "sphinxbase-utils"},
    FailureCase{"trainer missing", "bw", {false, -1, {}}, {}, "sphinxtrain"},
    FailureCase{"trainer fails", "bw", {true, 1, "INFO: x\nFATAL: cannot read mdef\n"}, {}, "bw failed: FATAL: cannot read mdef"},
    FailureCase{"few recordings match", "bw", {true, 0, kMisaligned}, {}, "Only 4 of 8"},
    FailureCase{"solver crashes", "mllr_solve", {true, -1, {}}, {}, "mllr_solve failed"},
    FailureCase{"solver writes nothing", "mllr_solve", {true, 0, {}}, {}, "no result"},
    FailureCase{"solver writes nan", "", {}, "1\n3\n13\nnan 1.0\n", "could not be computed"}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(AdaptationTest, TooFewRecordingsRunNoTool)
{
    const auto done = SpeakerAdaptation(folder(), tools).adapt(recordings(SpeakerAdaptation::kMinimumAligned - 1));
    ASSERT_FALSE(done);
    EXPECT_TRUE(tools.runs().isEmpty());
    EXPECT_TRUE(SpeakerAdaptation::storedTransform(folder()).isEmpty());
}

TEST_F(AdaptationTest, ForgettingRemovesEverything)
{
    ASSERT_TRUE(SpeakerAdaptation(folder(), tools).adapt(recordings(6)));
    ASSERT_TRUE(SpeakerAdaptation(folder(), tools).forget());
    EXPECT_TRUE(SpeakerAdaptation::storedTransform(folder()).isEmpty());
    EXPECT_FALSE(QDir(folder()).exists());
    EXPECT_TRUE(SpeakerAdaptation(folder(), tools).forget()) << "nothing to forget is no failure";
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
    options.mllrFile = env.path("damaged");
    env.writeFile(options.mllrFile, "1\n3\n13\n1.0\n");
    EXPECT_FALSE(SphinxRecognizer::create(options));
}

// The control and the dialog, with the tools faked.
class AdaptationSessionTest : public AdaptationTest {
protected:
    static AudioInputSettings pushed(const QString& adaptationFile = {})
    {
        AudioInputSettings input;
        input.usePushedAudio = true;
        input.adaptationFile = adaptationFile;
        return input;
    }

    void useStore(SphinxVoiceCommandControl& control)
    {
        control.setAdaptationStore(folder(), std::shared_ptr<ToolRunner>(&tools, [](ToolRunner*) {}));
    }
};

double energy(const std::vector<int16_t>& samples)
{
    double sum = 0;
    for (int16_t v : samples)
        sum += double(v) * v;
    return sum;
}

TEST_F(AdaptationSessionTest, ARecordedUtteranceHoldsAllItsSpeechAndLittleElse)
{
    SphinxVoiceCommandControl control(pushed());
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

TEST_F(AdaptationSessionTest, ADamagedStoredAdaptationFallsBackToThePlainModel)
{
    env.writeFile(env.path("damaged"), "not a transform");
    SphinxVoiceCommandControl control(pushed(env.path("damaged")));
    QSignalSpy changed(&control, &SphinxVoiceCommandControl::adaptationChanged);
    ASSERT_TRUE(changed.wait(20000));
    EXPECT_FALSE(changed.first().first().toBool());
    EXPECT_FALSE(control.isAdapted());
    EXPECT_TRUE(control.audioProblem().isEmpty());
}

TEST_F(AdaptationSessionTest, TheDialogWalksThroughThePhrasesAdaptsAndForgets)
{
    SphinxVoiceCommandControl control(pushed());
    useStore(control);
    QSignalSpy changed(&control, &SphinxVoiceCommandControl::adaptationChanged);
    ASSERT_TRUE(changed.wait(20000));   // the plain model is loaded

    TrainingDialog dialog(control);
    auto* adapt = dialog.findChild<QPushButton*>("cmdAdapt");
    auto* repeat = dialog.findChild<QPushButton*>("cmdRepeat");
    auto* forget = dialog.findChild<QPushButton*>("cmdForget");
    auto* prompt = dialog.findChild<QLabel*>("lblPrompt");
    EXPECT_FALSE(forget->isEnabled());

    adapt->click();
    const auto phrases = SpeakerAdaptation::sessionPhrases();
    EXPECT_TRUE(prompt->text().contains(phrases[0]));
    const std::vector<int16_t> speech(16000, 100);
    emit control.utteranceRecorded({}, std::vector<int16_t>(800, 100));   // a click: ignored
    EXPECT_TRUE(prompt->text().startsWith("1 of"));
    emit control.utteranceRecorded({}, speech);
    emit control.utteranceRecorded({}, speech);
    EXPECT_TRUE(prompt->text().contains(phrases[2]));
    repeat->click();
    EXPECT_TRUE(prompt->text().contains(phrases[1]));

    QSignalSpy finished(&control, &SphinxVoiceCommandControl::adaptationFinished);
    for (qsizetype i = 1; i < phrases.size(); ++i)
        emit control.utteranceRecorded({}, speech);
    EXPECT_FALSE(adapt->isEnabled()) << "one adaptation at a time";
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(finished.first().first().toString(), "");
    ASSERT_TRUE(changed.wait(20000));
    EXPECT_TRUE(changed.last().first().toBool());
    EXPECT_TRUE(control.isAdapted());
    EXPECT_TRUE(forget->isEnabled());
    EXPECT_TRUE(adapt->isEnabled());

    forget->click();
    EXPECT_TRUE(SpeakerAdaptation::storedTransform(folder()).isEmpty());
    ASSERT_TRUE(changed.wait(20000));
    EXPECT_FALSE(changed.last().first().toBool());
    EXPECT_FALSE(forget->isEnabled());
}

} // namespace
