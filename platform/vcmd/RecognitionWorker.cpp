#include "platform/vcmd/RecognitionWorker.h"

#include "platform/vcmd/WavFile.h"

#include <QAudioDevice>
#include <QAudioSource>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <QTimer>

#include <cmath>
#include <cstring>
#include <limits>

Q_DECLARE_LOGGING_CATEGORY(lcRecognizer)

namespace {

constexpr int kRate = SphinxRecognizer::kSampleRateHz;
constexpr int kChunkMs = 20;
constexpr int kLevelWindowSamples = kRate / 10;
constexpr int kCalibrationSamples = kRate * 2;
constexpr int kMicrophoneRetryMs = 2000;
constexpr size_t kRecentSamples = kRate * 20;   // longer than any utterance
constexpr int64_t kRecordingMarginSamples = kRate / 4;   // silence kept around a recorded utterance

double toDb(double meanSquare) { return 10.0 * std::log10(std::max(meanSquare, 1e-10)); }

} // namespace

RecognitionWorker::RecognitionWorker(AudioInputSettings settings) : m_settings(std::move(settings)) {}

RecognitionWorker::~RecognitionWorker() { closeInput(); }

Result<std::unique_ptr<SphinxRecognizer>> RecognitionWorker::makeRecognizer(const QString& adaptationFile) const
{
    SphinxRecognizer::Options options;
    options.trailingSilenceMs = m_settings.trailingSilenceMs;
    options.threshold = m_threshold;
    options.mllrFile = adaptationFile;
    auto created = SphinxRecognizer::create(options);
    if (created)
        created.value()->setPhrases(m_phrases);
    return created;
}

void RecognitionWorker::start()
{
    auto created = makeRecognizer(m_settings.adaptationFile);
    if (!created && !m_settings.adaptationFile.isEmpty()) {
        // A damaged adaptation must not cost the user the recogniser.
        qCWarning(lcRecognizer).noquote() << "the adaptation" << m_settings.adaptationFile << "does not load";
        m_settings.adaptationFile.clear();
        created = makeRecognizer({});
    }
    if (!created) {
        emit problem(created.error().message);
        return;
    }
    m_recognizer = std::move(created.value());
    emit adaptationLoaded(m_settings.adaptationFile);
    openInput();
    if (m_settings.wavPath.isEmpty() && !m_settings.usePushedAudio) {
        // A microphone plugged in later, or back after it failed, is heard without a restart.
        // The sound server's device list is polled: its change signal does not reach us here.
        auto* retry = new QTimer(this);
        connect(retry, &QTimer::timeout, this, &RecognitionWorker::retryMicrophone);
        retry->start(kMicrophoneRetryMs);
    }
}

void RecognitionWorker::retryMicrophone()
{
    if ((m_source && m_source->error() == QAudio::NoError) || QMediaDevices::audioInputs().isEmpty())
        return;
    closeInput();
    openInput();
}

void RecognitionWorker::setAdaptation(const QString& file)
{
    if (!m_recognizer) {
        m_settings.adaptationFile = file;
        return;
    }
    auto created = makeRecognizer(file);
    if (!created) {
        qCWarning(lcRecognizer).noquote() << "the adaptation" << file << "does not load; the model stays as it was";
        emit adaptationLoaded(m_settings.adaptationFile);
        return;
    }
    m_settings.adaptationFile = file;
    m_recognizer = std::move(created.value());
    // Stream positions start again at zero with the new recogniser.
    m_mutedUntilSample = std::numeric_limits<int64_t>::min();
    m_calibrationEndSample = -1;
    m_recent.clear();
    emit adaptationLoaded(file);
}

void RecognitionWorker::setRecording(bool on)
{
    m_recording = on;
    m_recent.clear();
}

std::vector<int16_t> RecognitionWorker::recordingOf(const Hearing& hearing) const
{
    const int64_t end = m_recognizer->samplesProcessed();
    const int64_t begin = end - int64_t(m_recent.size());
    const int64_t from = std::max(begin, hearing.speechStartSample - kRecordingMarginSamples);
    const int64_t to = std::min(end, hearing.speechEndSample + kRecordingMarginSamples);
    if (to <= from)
        return {};
    return {m_recent.begin() + (from - begin), m_recent.begin() + (to - begin)};
}

void RecognitionWorker::setPhrases(const QStringList& phrases, quint64 epoch)
{
    m_phrases = phrases;
    if (!m_recognizer)
        return;
    // A new epoch means a menu went quiet: what is being said now must not fire later.
    if (epoch != m_epoch)
        m_recognizer->discardUtterance();
    m_epoch = epoch;
    m_recognizer->setPhrases(phrases);
    // A WAV file is played from the moment there is something to listen for, so a phrase
    // early in it is not lost while the program is still starting.
    if (m_wavTimer && !m_wavTimer->isActive() && m_wavPosition == 0 && !phrases.isEmpty())
        m_wavTimer->start(kChunkMs);
}

void RecognitionWorker::setThreshold(int value)
{
    m_threshold = value;
    if (m_recognizer)
        m_recognizer->setThreshold(value);
}

void RecognitionWorker::setOutputActive(bool speaking)
{
    m_outputActive = speaking;
    if (!m_recognizer)
        return;
    if (speaking) {
        m_recognizer->discardUtterance();
    } else {
        m_mutedUntilSample = m_recognizer->samplesProcessed() + int64_t(m_settings.outputTailMs) * kRate / 1000;
    }
}

void RecognitionWorker::selectDevice(const QString& deviceName)
{
    if (deviceName == m_settings.deviceName && m_source)
        return;
    m_settings.deviceName = deviceName;
    if (m_settings.wavPath.isEmpty() && !m_settings.usePushedAudio && m_recognizer) {
        closeInput();
        openInput();
    }
}

void RecognitionWorker::calibrateNoise()
{
    m_calibrationSum = 0;
    m_calibrationCount = 0;
    m_calibrationEndSample = (m_recognizer ? m_recognizer->samplesProcessed() : 0) + kCalibrationSamples;
}

void RecognitionWorker::pushAudio(const std::vector<int16_t>& samples)
{
    process(samples.data(), samples.size());
}

void RecognitionWorker::openInput()
{
    if (m_settings.usePushedAudio)
        return;
    if (!m_settings.wavPath.isEmpty()) {
        auto samples = WavFile::readAsRecognizerInput(m_settings.wavPath);
        if (!samples) {
            emit problem(tr("The audio file cannot be heard: %1").arg(samples.error().message));
            return;
        }
        m_wav = std::move(samples.value());
        // A second of quiet after the file, so its last phrase ends too.
        for (int i = 0; i < kRate; ++i)
            m_wav.push_back(int16_t(i % 5 - 2));
        m_wavPosition = 0;
        m_wavTimer = new QTimer(this);
        m_wavTimer->setTimerType(Qt::PreciseTimer);
        connect(m_wavTimer, &QTimer::timeout, this, &RecognitionWorker::feedNextWavChunk);
        if (!m_phrases.isEmpty())
            m_wavTimer->start(kChunkMs);
        return;
    }

    QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (!m_settings.deviceName.isEmpty()) {
        for (const QAudioDevice& candidate : QMediaDevices::audioInputs()) {
            if (candidate.description() == m_settings.deviceName)
                device = candidate;
        }
    }
    if (device.isNull()) {
        emit problem(tr("No microphone was found. Connect one, or choose it in the training dialog."));
        return;
    }
    QAudioFormat format;
    format.setSampleRate(kRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        format = device.preferredFormat();   // converted below
    if (format.sampleFormat() != QAudioFormat::Int16 && format.sampleFormat() != QAudioFormat::Float) {
        format.setSampleFormat(QAudioFormat::Int16);
    }
    m_sourceRateHz = format.sampleRate();
    m_sourceChannels = std::max(1, format.channelCount());
    m_sourceIsFloat = format.sampleFormat() == QAudioFormat::Float;
    m_sourceBytesPerSample = m_sourceIsFloat ? 4 : 2;
    m_source = new QAudioSource(device, format, this);
    m_source->setBufferSize(m_sourceRateHz * m_sourceChannels * m_sourceBytesPerSample / 10);
    m_sourceDevice = m_source->start();
    if (!m_sourceDevice || m_source->error() != QAudio::NoError) {
        emit problem(tr("The microphone \"%1\" cannot be opened.").arg(device.description()));
        closeInput();
        return;
    }
    connect(m_sourceDevice, &QIODevice::readyRead, this, &RecognitionWorker::readMicrophone);
    connect(m_source, &QAudioSource::stateChanged, this, [this, name = device.description()](QAudio::State state) {
        if (state == QAudio::StoppedState && m_source && m_source->error() != QAudio::NoError)
            emit problem(tr("The microphone \"%1\" stopped working.").arg(name));
    });
    qCInfo(lcRecognizer).noquote() << "listening on" << device.description();
    emit problem(QString());
}

void RecognitionWorker::closeInput()
{
    if (m_source) {
        m_source->stop();
        delete m_source;
        m_source = nullptr;
        m_sourceDevice = nullptr;
    }
    delete m_wavTimer;
    m_wavTimer = nullptr;
}

void RecognitionWorker::readMicrophone()
{
    if (!m_sourceDevice)
        return;
    const QByteArray bytes = m_sourceDevice->readAll();
    const int frameBytes = m_sourceChannels * m_sourceBytesPerSample;
    const qsizetype frames = bytes.size() / frameBytes;
    if (frames == 0)
        return;
    std::vector<float> mono(size_t(frames), 0.0f);
    for (qsizetype f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < m_sourceChannels; ++c) {
            const char* p = bytes.constData() + f * frameBytes + c * m_sourceBytesPerSample;
            if (m_sourceIsFloat) {
                float v;
                std::memcpy(&v, p, 4);
                sum += v;
            } else {
                int16_t v;
                std::memcpy(&v, p, 2);
                sum += v / 32768.0f;
            }
        }
        mono[size_t(f)] = sum / float(m_sourceChannels);
    }
    // Devices deliver small blocks; resampling each on its own is exact enough at 20 ms and up.
    const std::vector<int16_t> samples = WavFile::resample(mono, m_sourceRateHz, kRate);
    process(samples.data(), samples.size());
}

void RecognitionWorker::feedNextWavChunk()
{
    const size_t chunk = kRate * kChunkMs / 1000;
    const size_t n = std::min(chunk, m_wav.size() - m_wavPosition);
    process(m_wav.data() + m_wavPosition, n);
    m_wavPosition += n;
    if (m_wavPosition >= m_wav.size()) {
        m_wavTimer->stop();
        emit inputFinished();
    }
}

void RecognitionWorker::process(const int16_t* samples, size_t count)
{
    if (!m_recognizer || count == 0)
        return;
    for (size_t i = 0; i < count; ++i) {
        const double v = samples[i] / 32768.0;
        m_levelSum += v * v;
        if (++m_levelCount == kLevelWindowSamples) {
            emit levelMeasured(toDb(m_levelSum / double(m_levelCount)));
            if (m_calibrationEndSample >= 0) {
                m_calibrationSum += m_levelSum;
                m_calibrationCount += m_levelCount;
            }
            m_levelSum = 0;
            m_levelCount = 0;
        }
    }
    if (m_outputActive)
        return;   // our own voice: not even decoded
    if (m_recording) {
        m_recent.insert(m_recent.end(), samples, samples + count);
        if (m_recent.size() > kRecentSamples)
            m_recent.erase(m_recent.begin(), m_recent.end() - kRecentSamples);
    }
    for (Hearing& hearing : m_recognizer->process(samples, count)) {
        if (hearing.speechStartSample < m_mutedUntilSample)
            hearing.fired = false;
        if (m_recording) {
            if (std::vector<int16_t> audio = recordingOf(hearing); !audio.empty())
                emit recorded(hearing, audio);
        }
        emit heard(hearing, m_epoch);
    }
    if (m_calibrationEndSample >= 0 && m_recognizer->samplesProcessed() >= m_calibrationEndSample) {
        m_calibrationEndSample = -1;
        emit noiseMeasured(toDb(m_calibrationSum / double(std::max<size_t>(m_calibrationCount, 1))));
    }
}
