#include "platform/vcmd/WavFile.h"

#include <QByteArray>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QByteArray le32(uint32_t v) { v = qToLittleEndian(v); return QByteArray(reinterpret_cast<const char*>(&v), 4); }
QByteArray le16(uint16_t v) { v = qToLittleEndian(v); return QByteArray(reinterpret_cast<const char*>(&v), 2); }

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
    return std::sqrt(e / double(s.size()));
}

TEST(WavFileTest, ChannelsAndSampleFormatsBecomeSixteenKilohertzMono)
{
    // Resampling is heard in every recognition test (the synthesiser writes 22 kHz). Channels
    // are mixed, not concatenated: opposite channels cancel.
    auto same = WavFile::decodeAsRecognizerInput(wav(1, 2, 44100, 16, sine16(44100, 2, 4410)));
    ASSERT_TRUE(same.ok());
    EXPECT_NEAR(double(same.value().size()), 1600, 2);
    EXPECT_GT(rms(same.value()), 6000);
    auto opposite = WavFile::decodeAsRecognizerInput(wav(1, 2, 44100, 16, sine16(44100, 2, 4410, true)));
    ASSERT_TRUE(opposite.ok());
    EXPECT_LT(rms(opposite.value()), 1);

    const float half = 0.5f;
    auto f = WavFile::decodeAsRecognizerInput(
        wav(3, 1, 16000, 32, QByteArray(reinterpret_cast<const char*>(&half), 4).repeated(160)));
    ASSERT_TRUE(f.ok());
    EXPECT_NEAR(f.value().at(80), 16384, 2);
    // An odd-sized chunk before the data is padded to an even length.
    auto eight = WavFile::decodeAsRecognizerInput(
        wav(1, 1, 16000, 8, QByteArray(160, char(255)), QByteArray("LIST") + le32(3) + "abc" + '\0'));
    ASSERT_TRUE(eight.ok());
    EXPECT_EQ(eight.value().size(), 160u);
    EXPECT_GT(eight.value().at(80), 32000);
}

TEST(WavFileTest, DamagedFilesAreRefusedOrReadAsFarAsTheyGo)
{
    QByteArray truncated = wav(1, 1, 16000, 16, sine16(16000, 1, 1000));
    truncated.chop(1000);   // the header still claims 1000 frames
    auto kept = WavFile::decodeAsRecognizerInput(truncated);
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept.value().size(), 500u);

    QByteArray noData = wav(1, 1, 16000, 16, {});
    noData.chop(8);   // drop the data chunk header
    for (const QByteArray& bytes : {QByteArray("not a wav file at all"), QByteArray(), noData,
             wav(2, 1, 16000, 16, sine16(16000, 1, 10))}) {   // ADPCM
        auto result = WavFile::decodeAsRecognizerInput(bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_FALSE(result.error().message.isEmpty());
    }
    EXPECT_FALSE(WavFile::readAsRecognizerInput(QStringLiteral("/nonexistent/file.wav")).ok());
}

TEST(WavFileTest, HeadersNoMicrophoneMakesAreRefusedBeforeAnythingIsAllocated)
{
    // A megabyte declared as 1 Hz would become 16 billion samples.
    const QByteArray megabyte(1 << 20, '\x40');
    const struct {
        uint16_t channels;
        uint32_t rate;
        const char* reason;
    } refused[] = {
        {1, 0, "sample rate 0 Hz"},
        {1, 3999, "sample rate 3999 Hz"},
        {1, 384001, "sample rate 384001 Hz"},
        {1, 0xFFFFFFFF, "sample rate"},
        {0, 16000, "channel count 0"},
        {33, 16000, "channel count 33"},
    };
    for (const auto& c : refused) {
        const auto result = WavFile::decodeAsRecognizerInput(wav(1, c.channels, c.rate, 8, megabyte));
        ASSERT_FALSE(result.ok()) << c.reason;
        EXPECT_TRUE(result.error().message.contains(QLatin1String(c.reason))) << result.error().message.toStdString();
    }
    EXPECT_TRUE(WavFile::decodeAsRecognizerInput(wav(1, 1, 4000, 8, megabyte)).ok());
    EXPECT_TRUE(WavFile::decodeAsRecognizerInput(wav(1, 32, 384000, 8, megabyte)).ok());
}

} // namespace
