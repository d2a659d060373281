#pragma once
// The microphone set-up: choose the input, watch its level, measure the background noise,
// and practise phrases to see what the recogniser heard, how sure it was, and whether the
// phrase would have fired at the current threshold; and adapt the recogniser to the user's
// voice from about thirty phrases read aloud, or forget that adaptation. Nothing fires while
// it is open.

#include "platform/vcmd/SpeakerAdaptation.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class SphinxVoiceCommandControl;
struct Hearing;

class TrainingDialog : public QDialog {
    Q_OBJECT
public:
    TrainingDialog(SphinxVoiceCommandControl& control, QWidget* parent = nullptr);
    ~TrainingDialog() override;

private:
    void cboDevice_Change(int index);
    void cmdCalibrate_Click();
    void showLevel(double levelDb);
    void showNoise(double levelDb);
    void showHearing(const Hearing& hearing);
    void showProblem(const QString& message);
    void cmdAdapt_Click();
    void cmdRepeat_Click();
    void cmdForget_Click();
    void record(const std::vector<int16_t>& audio);
    void showPrompt();
    void endSession();
    void showAdaptationProgress(int percent, const QString& step);
    void showAdaptationResult(const QString& error);
    void showAdapted(bool adapted);

    SphinxVoiceCommandControl& m_control;
    QComboBox* m_cboDevice;
    QProgressBar* m_level;
    QPushButton* m_cmdCalibrate;
    QLabel* m_lblNoise;
    QListWidget* m_lstPractice;
    QLabel* m_lblProblem;
    QLabel* m_lblAdapt;
    QLabel* m_lblPrompt;
    QProgressBar* m_prgAdapt;
    QPushButton* m_cmdAdapt;
    QPushButton* m_cmdRepeat;
    QPushButton* m_cmdForget;
    QStringList m_sessionPhrases;   // empty when no session is running
    std::vector<AdaptationRecording> m_recordings;
};
