#pragma once
// One spoken text. espeak-ng synthesises it on a worker thread in chunks of a few
// sentences: audio starts after the first chunk, memory stays bounded for very long
// texts (synthesis runs at most kAheadSeconds ahead of playback) and the library is
// free for the recogniser between chunks. Playback is timed by a clock that only runs
// while audio is available, so the utterance takes its real duration also when there
// is no sound device; with one, samples go to the given sink as it accepts them.
// Created, driven and destroyed on the UI thread.

#include "platform/agent/CharacterFile.h"
#include "platform/agent/SpeechText.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>

class QAudioSink;
class QIODevice;
struct UtteranceShared;

class EspeakUtterance : public QObject {
    Q_OBJECT
public:
    static constexpr int kAheadSeconds = 20;
    static constexpr int kTickMs = 20;
    static constexpr int kMaxDrainMs = 1000;   // longest wait for the device to play its buffer

    // sink and audioOut: a started sink and its device in push mode, or nullptr for no
    // sound device. wavFolder: when not empty, the utterance is also written there as WAV.
    EspeakUtterance(SpeechText text, int languageId, QAudioSink* sink, QIODevice* audioOut, const QString& wavFolder,
                    QObject* parent = nullptr);
    ~EspeakUtterance() override;

    void start();
    // Ends the utterance now; finished() is not emitted.
    void cancel();

    // Length of the display text spoken so far (whole words).
    qsizetype spokenLength() const { return m_spokenLength; }
    MouthShape mouth() const { return m_mouth; }
    const QString& displayText() const { return m_text.displayText; }

    // espeak's pitch parameter (0..100, 50 = the voice's own) for a base pitch in Hz:
    // 50 Hz keeps the voice's pitch, each doubling raises it by a sixth of the range.
    static int espeakPitch(int hz);
    static int espeakRate(int wordsPerMinute);

signals:
    void firstAudio();   // the first samples are playing
    void progressed();   // words, mouth or position changed
    void finished();

private slots:
    void advance();   // also called from the worker, queued, when audio arrives

private:
    void synthesize();

    SpeechText m_text;
    int m_languageId;
    QAudioSink* m_sink;
    QIODevice* m_audioOut;
    QElapsedTimer m_drainClock;   // runs once everything was handed to the device
    QString m_wavFolder;
    std::shared_ptr<UtteranceShared> m_shared;
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_clockNs = 0;
    qint64 m_positionSamples = 0;   // played according to the clock
    qint64 m_writtenSamples = 0;    // handed to the sound device
    qsizetype m_spokenLength = 0;
    MouthShape m_mouth = MouthShape::Closed;
    bool m_started = false;
    bool m_finished = false;
};
