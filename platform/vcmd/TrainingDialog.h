#pragma once
// The microphone set-up: choose the input, watch its level, measure the background noise,
// and practise phrases to see what the recogniser heard, how sure it was, and whether the
// phrase would have fired at the current threshold. Nothing fires while it is open.

#include <QDialog>

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

private:
    void cboDevice_Change(int index);
    void cmdCalibrate_Click();
    void showLevel(double levelDb);
    void showNoise(double levelDb);
    void showHearing(const Hearing& hearing);
    void showProblem(const QString& message);

    SphinxVoiceCommandControl& m_control;
    QComboBox* m_cboDevice;
    QProgressBar* m_level;
    QPushButton* m_cmdCalibrate;
    QLabel* m_lblNoise;
    QListWidget* m_lstPractice;
    QLabel* m_lblProblem;
};
