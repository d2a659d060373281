#pragma once
// The voice-command control on PocketSphinx: keeps the menus and their entries on the
// user-interface thread and hands the phrases of the active menus to a recognition worker
// on its own thread, which captures and decodes the audio. What the worker hears comes
// back queued and fires only if its entry is still in an active menu.
//
// phraseRecognized carries (entry id, menu name, entry flags, category, score 0-100,
// action text, command text).

#include "platform/vcmd/RecognitionWorker.h"
#include "platform/vcmd/SpeakerAdaptation.h"
#include "platform/vcmd/VoiceCommandControl.h"

#include <QPointer>
#include <QThread>

#include <map>
#include <memory>
#include <vector>

class ToolRunner;
class TrainingDialog;

class SphinxVoiceCommandControl : public VoiceCommandControl {
    Q_OBJECT
public:
    // Audio from VORLIX_AUDIO_IN when it names a WAV file, else the default microphone.
    explicit SphinxVoiceCommandControl(QObject* parent = nullptr);
    SphinxVoiceCommandControl(const AudioInputSettings& input, QObject* parent = nullptr);
    ~SphinxVoiceCommandControl() override;

    void setControlProperty(int dispatchId, int32_t value) override;
    Result<int32_t> createMenu(const QString& name, const QString& state, int32_t flags) override;
    void addEntry(int32_t menu, int32_t id, const QString& command, const QString& description,
                  const QString& category, int32_t flags, const QString& action) override;
    void activateMenu(int32_t menu) override;
    void deactivateMenu(int32_t menu) override;
    int32_t countEntries(int32_t menu) override;
    bool getEntry(int32_t menu, int32_t position, QString& command, QString& description, QString& category,
                  int32_t& flags, QString& action) override;
    void removeEntry(int32_t menu, int32_t position) override;
    void setThreshold(int32_t value) override;
    void showTraining(QWidget* owner, const QString& title) override;
    bool isTraining() const override { return m_practising; }
    void releaseMenu(int32_t menu) override;
    bool injectPhrase(const QString& phrase) override;

    // The program's own speech is playing (true) or has ended (false). Nothing heard while
    // it plays, or within a short tail after, fires: a command's sentence is often its phrase.
    void setOutputActive(bool speaking);
    // Feeds 16 kHz mono samples, when constructed with usePushedAudio. Any thread.
    void pushAudio(const std::vector<int16_t>& samples);

    int threshold() const { return m_threshold; }
    // The microphone by its description; empty: the default one. Remembered for the next start.
    void selectInputDevice(const QString& deviceName);
    QString inputDeviceName() const { return m_input.deviceName; }
    bool isUsingMicrophone() const { return m_input.wavPath.isEmpty() && !m_input.usePushedAudio; }
    // Measures the background level for two seconds; noiseMeasured reports it.
    void calibrateNoise();
    // The last problem with the audio input or the recogniser; empty when none.
    QString audioProblem() const override { return m_audioProblem; }

    // Speaker adaptation. The stored one is loaded at start; while recording, the audio of
    // every utterance comes with utteranceRecorded.
    void setRecordingUtterances(bool on);
    // Computes an adaptation from the recordings off this thread and, when it succeeds,
    // switches the recogniser to it: adaptationProgress, then adaptationFinished.
    void adaptToVoice(std::vector<AdaptationRecording> recordings);
    bool isAdapting() const { return m_adaptation != nullptr; }
    // Removes the stored adaptation and returns to the plain model.
    Result<void> forgetVoice();
    bool isAdapted() const { return !m_adaptationInUse.isEmpty(); }
    // Where adaptations are kept and the tools that compute them (tests use their own).
    void setAdaptationStore(const QString& folder, std::shared_ptr<ToolRunner> tools);

signals:
    // Every utterance the recogniser finished, fired or not (the training dialog shows them).
    void utteranceHeard(const Hearing& hearing);
    void levelMeasured(double levelDb);
    void noiseMeasured(double levelDb);
    void inputFinished();   // a WAV input has been heard to its end
    void utteranceRecorded(const Hearing& hearing, const std::vector<int16_t>& audio);
    void adaptationProgress(int percent, const QString& step);
    void adaptationFinished(const QString& error);   // empty when the recogniser now uses the new adaptation
    void adaptationChanged(bool adapted);            // the recogniser (re)loaded its model

private:
    struct Entry {
        int32_t id = 0;
        QString command, description, category, action;
        int32_t flags = 0;
        QString spoken;   // normalised command text, the form phrases compare in
    };
    struct Menu {
        QString name;
        bool active = false;
        std::vector<Entry> entries;
    };

    Menu* findMenu(int32_t handle);
    void phrasesChanged();
    void sendPhrases();
    void onHeard(const Hearing& hearing, quint64 epoch);
    bool fire(const QString& spoken, int score);
    void onProblem(const QString& message);
    void useAdaptation(const QString& file);

    AudioInputSettings m_input;
    std::map<int32_t, Menu> m_menus;
    int32_t m_nextHandle = 1;
    int32_t m_threshold = 50;
    quint64 m_epoch = 0;
    bool m_sendPending = false;
    bool m_practising = false;
    QString m_audioProblem;
    QThread m_thread;
    RecognitionWorker* m_worker = nullptr;   // lives on m_thread, deleted when it finishes
    QPointer<TrainingDialog> m_training;
    QString m_adaptationFolder;
    std::shared_ptr<ToolRunner> m_tools;
    QString m_adaptationInUse;
    QThread* m_adaptation = nullptr;   // computing an adaptation; a child of this
};
