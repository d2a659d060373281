#pragma once
// Runs on its own thread: captures audio (microphone, a WAV file, or samples pushed by the
// owner), feeds the recogniser and reports every utterance. Talks to the user-interface
// thread only through queued signals and slots.

#include "platform/vcmd/SphinxRecognizer.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <limits>
#include <memory>
#include <vector>

class QAudioSource;
class QIODevice;
class QTimer;

struct AudioInputSettings {
    QString wavPath;            // when set, this file is heard instead of a microphone
    QString deviceName;         // microphone by description; empty: the default one
    bool usePushedAudio = false;   // neither: the owner calls pushAudio()
    int trailingSilenceMs = 300;
    int outputTailMs = 700;     // after the program's own speech ends, nothing is acted on for this long
    QString adaptationFile;     // the speaker adaptation to load; empty: the plain model
};

class RecognitionWorker : public QObject {
    Q_OBJECT
public:
    explicit RecognitionWorker(AudioInputSettings settings);
    ~RecognitionWorker() override;

public slots:
    void start();
    void setPhrases(const QStringList& phrases, quint64 epoch);
    void setThreshold(int value);
    void setOutputActive(bool speaking);
    void selectDevice(const QString& deviceName);
    void pushAudio(const std::vector<int16_t>& samples);
    void calibrateNoise();
    // Reloads the model with this speaker adaptation (empty: none); the old model stays on failure.
    void setAdaptation(const QString& file);
    // While on, the audio of every utterance is reported with it (recorded).
    void setRecording(bool on);

signals:
    void heard(const Hearing& hearing, quint64 epoch);
    void levelMeasured(double levelDb);        // about ten times a second, dBFS
    void noiseMeasured(double levelDb);        // at the end of a calibration
    void problem(const QString& message);      // the input failed, fit for the user; empty: it works
    void inputFinished();                      // the WAV file has been heard to its end
    void recorded(const Hearing& hearing, const std::vector<int16_t>& audio);
    void adaptationLoaded(const QString& file);   // the model now in use; empty: the plain one

private:
    Result<std::unique_ptr<SphinxRecognizer>> makeRecognizer(const QString& adaptationFile) const;
    std::vector<int16_t> recordingOf(const Hearing& hearing) const;
    void openInput();
    void closeInput();
    void retryMicrophone();   // reopens a missing or failed microphone once the desktop has one
    void process(const int16_t* samples, size_t count);
    void readMicrophone();
    void feedNextWavChunk();

    AudioInputSettings m_settings;
    std::unique_ptr<SphinxRecognizer> m_recognizer;
    QStringList m_phrases;
    quint64 m_epoch = 0;
    int m_threshold = 50;
    QAudioSource* m_source = nullptr;
    QIODevice* m_sourceDevice = nullptr;
    int m_sourceRateHz = 0;
    int m_sourceChannels = 0;
    int m_sourceBytesPerSample = 0;
    bool m_sourceIsFloat = false;
    QTimer* m_wavTimer = nullptr;
    std::vector<int16_t> m_wav;
    size_t m_wavPosition = 0;
    bool m_outputActive = false;
    int64_t m_mutedUntilSample = std::numeric_limits<int64_t>::min();
    double m_levelSum = 0;
    size_t m_levelCount = 0;
    int64_t m_calibrationEndSample = -1;
    double m_calibrationSum = 0;
    size_t m_calibrationCount = 0;
    bool m_recording = false;
    std::vector<int16_t> m_recent;   // the last seconds heard, while recording; ends where the recogniser is
};
