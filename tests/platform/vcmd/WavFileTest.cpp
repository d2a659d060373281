#include "platform/vcmd/WavFile.h"

#include <QByteArray>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

QByteArray le32(uint32_t v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le16(uint16_t v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray wav(uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits, const QByteArray& data,
               const QByteArray& extraChunk = {})
{
    QByteArray fmt = le16(format) + le16(channels) + le32(rate) + le32(rate * channels * bits / 8)
        + le16(uint16_t(channels * bits / 8)) + le16(bits);
    QByteArray body = QByteArray("WAVE") + "fmt " + le32(uint32_t(fmt.size())) + fmt + extraChunk + "data"
        + le32(uint32_t(data.size())) + data;
    return QByteArray("RIFF") + le32(uint32_t(body.size())) + body;
}

QByteArray sine16(int rate, int channels, int frames, bool oppositeChannels = false)
{
    QByteArray data;
    for (int i = 0; i < frames; ++i) {
        const auto v = int16_t(std::lround(10000 * std::sin(2 * M_PI * 440 * i / rate)));
        for (int c = 0; c < channels; ++c)
            data += le16(uint16_t(oppositeChannels && c == 1 ? -v : v));
    }
    return data;
}

double rms(const std::vector<int16_t>& s)
{
    double e = 0;
    for (int16_t v : s)
        e += double(v) * v;
    return s.empty() ? 0 : std::sqrt(e / double(s.size()));
}

class WavFileTest : public testing::Test {};

TEST_F(WavFileTest, AnyRateBecomesSixteenKilohertz)
{
    auto result = WavFile::decodeAsRecognizerInput(wav(1, 1, 44100, 16, sine16(44100, 1, 44100)));
    ASSERT_TRUE(result.ok());
    EXPECT_NEAR(double(result.value().size()), 16000, 2);
    // 440 Hz at amplitude 10000 keeps its level through the filter.
    EXPECT_NEAR(rms(result.value()), 10000 / std::sqrt(2.0), 300);
}

TEST_F(WavFileTest, ChannelsAreMixedNotConcatenated)
{
    auto same = WavFile::decodeAsRecognizerInput(wav(1, 2, 16000, 16, sine16(16000, 2, 1600)));
    ASSERT_TRUE(same.ok());
    EXPECT_EQ(same.value().size(), 1600u);
    EXPECT_GT(rms(same.value()), 6000);
    auto opposite = WavFile::decodeAsRecognizerInput(wav(1, 2, 16000, 16, sine16(16000, 2, 1600, true)));
    ASSERT_TRUE(opposite.ok());
    EXPECT_LT(rms(opposite.value()), 1);
}

TEST_F(WavFileTest, FloatEightBitAndExtraChunksAreRead)
{
    QByteArray floats;
    for (int i = 0; i < 160; ++i) {
        const float v = 0.5f;
        floats += QByteArray(reinterpret_cast<const char*>(&v), 4);
    }
    auto f = WavFile::decodeAsRecognizerInput(wav(3, 1, 16000, 32, floats));
    ASSERT_TRUE(f.ok());
    EXPECT_NEAR(f.value().at(80), 16384, 2);

    // An odd-sized chunk before the data is padded to an even length.
    auto eight = WavFile::decodeAsRecognizerInput(
        wav(1, 1, 16000, 8, QByteArray(160, char(255)), QByteArray("LIST") + le32(3) + "abc" + '\0'));
    ASSERT_TRUE(eight.ok());
    EXPECT_EQ(eight.value().size(), 160u);
    EXPECT_GT(eight.value().at(80), 32000);
}

TEST_F(WavFileTest, TruncatedDataKeepsWhatIsThere)
{
    QByteArray bytes = wav(1, 1, 16000, 16, sine16(16000, 1, 1000));
    bytes.chop(1000);   // the header still claims 1000 frames
    auto result = WavFile::decodeAsRecognizerInput(bytes);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value().size(), 500u);
}

TEST_F(WavFileTest, BrokenFilesAreRefusedWithAReason)
{
    EXPECT_FALSE(WavFile::decodeAsRecognizerInput(QByteArray("not a wav file at all")).ok());
    EXPECT_FALSE(WavFile::decodeAsRecognizerInput(QByteArray()).ok());
    EXPECT_FALSE(WavFile::decodeAsRecognizerInput(wav(2, 1, 16000, 16, sine16(16000, 1, 10))).ok());   // ADPCM
    EXPECT_FALSE(WavFile::decodeAsRecognizerInput(wav(1, 0, 16000, 16, sine16(16000, 1, 10))).ok());
    EXPECT_FALSE(WavFile::decodeAsRecognizerInput(wav(1, 1, 0, 16, sine16(16000, 1, 10))).ok());
    QByteArray noData = wav(1, 1, 16000, 16, {});
    noData.chop(8);   // drop the data chunk header
    auto result = WavFile::decodeAsRecognizerInput(noData);
    ASSERT_FALSE(result.ok());
    EXPECT_FALSE(result.error().message.isEmpty());
    EXPECT_FALSE(WavFile::readAsRecognizerInput(QStringLiteral("/nonexistent/file.wav")).ok());
}

TEST_F(WavFileTest, HeadersNoMicrophoneMakesAreRefusedBeforeAnythingIsAllocated)
{
    const QByteArray megabyte(1 << 20, '\x40');
    const struct {
        uint16_t channels;
        uint32_t rate;
        const char* reason;
    } cases[] = {
        {1, 1, "sample rate 1 Hz"},
        {1, 3999, "sample rate 3999 Hz"},
        {1, 0xFFFFFFFF, "sample rate"},
        {1, 400000, "sample rate 400000 Hz"},
        {33, 16000, "channel count 33"},
        {0xFFFF, 16000, "channel count 65535"},
    };
    for (const auto& c : cases) {
        const auto result = WavFile::decodeAsRecognizerInput(wav(1, c.channels, c.rate, 8, megabyte));
        ASSERT_FALSE(result.ok()) << c.reason;
        EXPECT_TRUE(result.error().message.contains(QLatin1String(c.reason))) << result.error().message.toStdString();
    }
    EXPECT_TRUE(WavFile::decodeAsRecognizerInput(wav(1, 1, 8000, 8, megabyte)).ok());   // a telephone line
}

TEST_F(WavFileTest, SoundEndsAtTheLastLoudWindow)
{
    std::vector<int16_t> samples(16000, 0);
    for (size_t i = 0; i < 8000; ++i)
        samples[i] = int16_t(i % 2 ? 3000 : -3000);
    EXPECT_EQ(WavFile::endOfSound(samples), 8000u);
    EXPECT_EQ(WavFile::endOfSound(std::vector<int16_t>(16000, 20)), 0u);   // -64 dBFS is quiet
    EXPECT_EQ(WavFile::endOfSound({}), 0u);
    samples.back() = 30000;   // a click in the last window counts
    EXPECT_EQ(WavFile::endOfSound(samples), 16000u);
}

TEST_F(WavFileTest, SpeechEndsWhereOnlyNoiseRunsOn)
{
    std::mt19937 rng(5);
    std::normal_distribution<double> noise(0, 300);   // 20 dB under the sound
    std::vector<int16_t> samples(16000 * 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(noise(rng) + (i >= 4000 && i < 12000 ? 3000 * std::sin(double(i) / 5) : 0));
    samples[30000] = 30000;   // a click in the noise is not speech
    EXPECT_EQ(WavFile::endOfSound(samples), samples.size());
    const size_t end = WavFile::endOfSpeech(samples);
    EXPECT_GE(end, 12000u);
    EXPECT_LE(end, 12160u);
    // Without noise it is the end of the sound.
    std::vector<int16_t> quiet(16000, 0);
    std::fill(quiet.begin(), quiet.begin() + 8000, int16_t(3000));
    EXPECT_EQ(WavFile::endOfSpeech(quiet), 8000u);
    EXPECT_EQ(WavFile::endOfSpeech(std::vector<int16_t>(16000, 20)), 0u);
    EXPECT_EQ(WavFile::endOfSpeech({}), 0u);
}

} // namespace
