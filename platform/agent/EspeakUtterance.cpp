#include "platform/agent/EspeakUtterance.h"

#include "platform/espeak/EspeakLibrary.h"

#include <QCoreApplication>
#include <QAudioSink>
#include <QDateTime>
#include <QDir>
#include <QIODevice>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QtEndian>

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

Q_LOGGING_CATEGORY(lcAgentSpeech, "vorlix.agent.speech")

namespace {

constexpr qsizetype kMaxChunkChars = 600;
constexpr int kLevelWindowsPerSecond = 100;
constexpr int kDefaultWordsPerMinute = 175;
constexpr int kWavHeaderBytes = 44;
// Loudness (RMS of 16-bit samples) at which the mouth opens half or wide; espeak's
// vowels sit well above kOpenLevel, its consonants between the two.
constexpr quint16 kHalfOpenLevel = 700;
constexpr quint16 kOpenLevel = 2500;

struct WordMark {
    qint64 sample;
    qsizetype displayEnd;
};

} // namespace

struct UtteranceShared {
    std::mutex mutex;
    std::condition_variable wake;
    std::atomic<bool> cancelled{false};
    int sampleRate = 22050;
    QByteArray pending;        // 16-bit samples not yet handed on
    qint64 pendingStart = 0;   // sample number of pending's first sample
    qint64 produced = 0;
    qint64 consumed = 0;       // samples the UI side is done with
    std::vector<quint16> levels;   // RMS per level window
    double windowSquares = 0;
    int windowCount = 0;
    std::deque<WordMark> words;
    bool done = false;
    std::thread worker;
};

namespace {

struct ChunkContext {
    UtteranceShared* shared;
    QSaveFile* wav;
    qint64 baseSample;
    qsizetype displayOffset;
    std::vector<qsizetype> codePointIndex;   // espeak counts code points from 1
    EspeakUtterance* owner;
    bool* notified;
};

void appendSamples(ChunkContext& context, const short* samples, int count)
{
    UtteranceShared& shared = *context.shared;
    const int window = std::max(1, shared.sampleRate / kLevelWindowsPerSecond);
    QByteArray bytes(reinterpret_cast<const char*>(samples), qsizetype(count) * 2);
    if (context.wav)
        context.wav->write(bytes);   // espeak's samples are native little-endian on our targets
    std::lock_guard lock(shared.mutex);
    shared.pending += bytes;
    shared.produced += count;
    for (int i = 0; i < count; ++i) {
        shared.windowSquares += double(samples[i]) * samples[i];
        if (++shared.windowCount == window) {
            shared.levels.push_back(quint16(std::sqrt(shared.windowSquares / window)));
            shared.windowSquares = 0;
            shared.windowCount = 0;
        }
    }
}

int synthCallback(short* samples, int count, espeak_EVENT* events)
{
    auto* context = static_cast<ChunkContext*>(events->user_data);
    for (espeak_EVENT* event = events; event->type != espeakEVENT_LIST_TERMINATED; ++event) {
        if (event->type != espeakEVENT_WORD)
            continue;
        const qsizetype last = qsizetype(context->codePointIndex.size()) - 1;
        const qsizetype end = std::clamp<qsizetype>(event->text_position - 1 + event->length, 0, last);
        std::lock_guard lock(context->shared->mutex);
        context->shared->words.push_back({context->baseSample + event->sample,
                                          context->displayOffset + context->codePointIndex[end]});
    }
    if (samples && count > 0) {
        appendSamples(*context, samples, count);
        if (!*context->notified) {
            *context->notified = true;
            QMetaObject::invokeMethod(context->owner, "advance", Qt::QueuedConnection);
        }
    }
    return context->shared->cancelled ? 1 : 0;
}

// Chunks end after a sentence or line where possible, else at a blank.
std::vector<std::pair<qsizetype, qsizetype>> splitIntoChunks(const QString& text)
{
    std::vector<std::pair<qsizetype, qsizetype>> chunks;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = std::min(text.size(), start + kMaxChunkChars);
        if (end < text.size()) {
            qsizetype cut = -1;
            for (qsizetype i = end - 1; i > start && cut < 0; --i) {
                const QChar c = text[i];
                if (c == QLatin1Char('\n') || ((c == QLatin1Char('.') || c == QLatin1Char('!') || c == QLatin1Char('?'))
                                               && text[i + 1].isSpace()))
                    cut = i + 1;
            }
            if (cut < 0)
                cut = text.lastIndexOf(QLatin1Char(' '), end - 1) + 1;
            if (cut > start)
                end = cut;
            if (end < text.size() && text[end - 1].isHighSurrogate())
                --end;
        }
        chunks.emplace_back(start, end - start);
        start = end;
    }
    return chunks;
}

const char* voiceName(int languageId)
{
    switch (languageId & 0x3ff) {   // primary language of a Windows language id
    case 0x07: return "de";
    case 0x0a: return "es";
    case 0x0c: return "fr";
    case 0x10: return "it";
    case 0x13: return "nl";
    case 0x16: return "pt";
    default: return languageId == 2057 ? "en-gb" : "en-us";
    }
}

QString wavPath(const QString& folder)
{
    static std::atomic<int> sequence{0};
    return QDir(folder).filePath(QStringLiteral("utterance-%1-%2-%3.wav")
                                     .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz")))
                                     .arg(QCoreApplication::applicationPid())
                                     .arg(++sequence, 4, 10, QLatin1Char('0')));
}

QByteArray wavHeader(int sampleRate, qint64 samples)
{
    const quint32 dataBytes = quint32(std::min<qint64>(samples * 2, 0xFFFFFFFFLL - kWavHeaderBytes));
    QByteArray header(kWavHeaderBytes, '\0');
    char* h = header.data();
    memcpy(h, "RIFF", 4);
    qToLittleEndian<quint32>(dataBytes + 36, h + 4);
    memcpy(h + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, h + 16);
    qToLittleEndian<quint16>(1, h + 20);   // PCM
    qToLittleEndian<quint16>(1, h + 22);   // mono
    qToLittleEndian<quint32>(quint32(sampleRate), h + 24);
    qToLittleEndian<quint32>(quint32(sampleRate * 2), h + 28);
    qToLittleEndian<quint16>(2, h + 32);
    qToLittleEndian<quint16>(16, h + 34);
    memcpy(h + 36, "data", 4);
    qToLittleEndian<quint32>(dataBytes, h + 40);
    return header;
}

} // namespace

EspeakUtterance::EspeakUtterance(SpeechText text, int languageId, QAudioSink* sink, QIODevice* audioOut,
                                 const QString& wavFolder, QObject* parent)
    : QObject(parent)
    , m_text(std::move(text))
    , m_languageId(languageId)
    , m_sink(audioOut ? sink : nullptr)
    , m_audioOut(m_sink ? audioOut : nullptr)
    , m_wavFolder(wavFolder)
    , m_shared(std::make_shared<UtteranceShared>())
{
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &EspeakUtterance::advance);
}

EspeakUtterance::~EspeakUtterance()
{
    cancel();
}

int EspeakUtterance::espeakPitch(int hz)
{
    if (hz <= 0)
        return 50;
    return std::clamp(int(std::lround(50.0 + 50.0 / 3.0 * std::log2(hz / 50.0))), 0, 100);
}

int EspeakUtterance::espeakRate(int wordsPerMinute)
{
    return std::clamp(wordsPerMinute, int(espeakRATE_MINIMUM), int(espeakRATE_MAXIMUM));
}

void EspeakUtterance::start()
{
    if (m_started)
        return;
    m_started = true;
    m_tick.start();
    m_shared->worker = std::thread([this] { synthesize(); });
}

void EspeakUtterance::cancel()
{
    m_tick.stop();
    m_shared->cancelled = true;
    m_shared->wake.notify_all();
    if (m_shared->worker.joinable())
        m_shared->worker.join();
}

// Worker thread: everything here touches only m_shared, the text and the WAV file.
void EspeakUtterance::synthesize()
{
    UtteranceShared& shared = *m_shared;
    std::unique_ptr<QSaveFile> wav;
    if (!m_wavFolder.isEmpty()) {
        wav = std::make_unique<QSaveFile>(wavPath(m_wavFolder));
        if (!wav->open(QIODevice::WriteOnly)) {
            qCWarning(lcAgentSpeech) << "cannot write" << wav->fileName() << wav->errorString();
            wav.reset();
        }
    }
    int sampleRate = 0;
    bool available = false;
    {
        EspeakLibrary::Session session = EspeakLibrary::acquire();
        available = session.isAvailable();
        sampleRate = available ? session.sampleRate() : 22050;
    }
    {
        std::lock_guard lock(shared.mutex);
        shared.sampleRate = sampleRate;
    }
    if (wav)
        wav->write(wavHeader(sampleRate, 0));

    bool notified = false;
    for (const SpeechSegment& segment : m_text.segments) {
        for (const auto& [offset, length] : splitIntoChunks(segment.text)) {
            {
                // Bounded look-ahead: wait while playback is far behind.
                std::unique_lock lock(shared.mutex);
                shared.wake.wait(lock, [&] {
                    return shared.cancelled || shared.produced - shared.consumed < qint64(kAheadSeconds) * sampleRate;
                });
            }
            if (shared.cancelled)
                break;
            QString chunk = segment.text.mid(offset, length);
            // Control characters could be taken as espeak's embedded commands.
            for (QChar& c : chunk) {
                if (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t'))
                    c = QLatin1Char(' ');
            }
            ChunkContext context{&shared, wav.get(), 0, segment.displayOffset + offset, {}, this, &notified};
            for (qsizetype i = 0; i < chunk.size(); ++i) {
                if (!chunk[i].isLowSurrogate())
                    context.codePointIndex.push_back(i);
            }
            context.codePointIndex.push_back(chunk.size());
            {
                std::lock_guard lock(shared.mutex);
                context.baseSample = shared.produced;
            }
            if (!available) {
                // No voice data: silence as long as the words would take, so timing holds.
                const int words = int(chunk.split(QLatin1Char(' '), Qt::SkipEmptyParts).size());
                const int wpm = espeakRate(segment.voice.wordsPerMinute.value_or(kDefaultWordsPerMinute));
                const std::vector<short> silence(size_t(qint64(words) * 60 * sampleRate / wpm), 0);
                appendSamples(context, silence.data(), int(silence.size()));
                std::lock_guard lock(shared.mutex);
                shared.words.push_back({shared.produced, context.displayOffset + chunk.size()});
                continue;
            }
            const QByteArray utf8 = chunk.toUtf8();
            EspeakLibrary::Session session = EspeakLibrary::acquire();
            espeak_SetSynthCallback(synthCallback);
            const bool whisper = segment.voice.character == VoiceCharacter::Whisper;
            const QByteArray voice = QByteArray(voiceName(m_languageId)) + (whisper ? "+whisper" : "");
            if (!session.setVoice(voice.toStdString()))
                session.setVoice("en-us");
            espeak_SetParameter(espeakRATE, espeakRate(segment.voice.wordsPerMinute.value_or(kDefaultWordsPerMinute)), 0);
            espeak_SetParameter(espeakPITCH, espeakPitch(segment.voice.pitchHz.value_or(50)), 0);
            espeak_SetParameter(espeakRANGE, segment.voice.character == VoiceCharacter::Monotone ? 0 : 50, 0);
            espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                         &context);
        }
        if (shared.cancelled)
            break;
    }

    qint64 produced = 0;
    {
        std::lock_guard lock(shared.mutex);
        shared.done = true;
        produced = shared.produced;
    }
    if (wav) {
        wav->seek(0);
        wav->write(wavHeader(sampleRate, produced));
        if (!wav->commit())
            qCWarning(lcAgentSpeech) << "cannot write" << wav->fileName() << wav->errorString();
    }
    QMetaObject::invokeMethod(this, "advance", Qt::QueuedConnection);
}

void EspeakUtterance::advance()
{
    if (m_finished || !m_started)
        return;
    UtteranceShared& shared = *m_shared;
    std::unique_lock lock(shared.mutex);
    const qint64 produced = shared.produced;
    const bool isFirstAudio = produced > 0 && !m_clock.isValid();
    if (isFirstAudio) {
        m_clock.start();
        m_clockNs = 0;
    }
    if (m_clock.isValid()) {
        // The clock stands still while synthesis lags behind.
        const qint64 now = m_clock.nsecsElapsed();
        m_positionSamples = std::min(produced, m_positionSamples + (now - m_clockNs) * shared.sampleRate / 1000000000);
        m_clockNs = now;
    }
    if (m_audioOut) {
        const qint64 offset = (m_writtenSamples - shared.pendingStart) * 2;
        const qint64 available = shared.pending.size() - offset;
        const qint64 written = available > 0 ? m_audioOut->write(shared.pending.constData() + offset, available) : 0;
        if (written < 0) {
            m_audioOut = nullptr;   // the device went away; the clock keeps the timing
            m_sink = nullptr;
        } else {
            m_writtenSamples += written / 2;
        }
    }
    const qint64 consumed = m_audioOut ? std::min(m_positionSamples, m_writtenSamples) : m_positionSamples;
    if (consumed > shared.consumed) {
        shared.consumed = consumed;
        shared.wake.notify_all();
    }
    // Dropped in batches: removing from the front moves everything behind.
    if (consumed - shared.pendingStart >= shared.sampleRate / 4) {
        shared.pending.remove(0, (consumed - shared.pendingStart) * 2);
        shared.pendingStart = consumed;
    }

    while (!shared.words.empty() && shared.words.front().sample <= m_positionSamples) {
        m_spokenLength = std::max(m_spokenLength, shared.words.front().displayEnd);
        shared.words.pop_front();
    }
    const size_t window = size_t(m_positionSamples * kLevelWindowsPerSecond / std::max(1, shared.sampleRate));
    const quint16 level = window < shared.levels.size() ? shared.levels[window] : 0;
    m_mouth = level < kHalfOpenLevel ? MouthShape::Closed : level < kOpenLevel ? MouthShape::Half : MouthShape::Open;

    const bool spoken = shared.done && m_positionSamples >= produced;
    lock.unlock();
    bool done = spoken;
    if (spoken && m_audioOut) {
        // The speech ends when the device has played what it holds.
        if (m_writtenSamples < produced)
            done = false;
        else if (!m_drainClock.isValid())
            m_drainClock.start();
        done = done && (m_sink->state() != QAudio::ActiveState || m_sink->bytesFree() >= m_sink->bufferSize()
                        || m_drainClock.hasExpired(kMaxDrainMs));
    }
    if (isFirstAudio)
        emit firstAudio();
    if (done) {
        m_finished = true;
        m_tick.stop();
        m_spokenLength = m_text.displayText.size();
        m_mouth = MouthShape::Closed;
        emit progressed();
        emit finished();
        return;
    }
    emit progressed();
}
