#include "platform/vcmd/TrainingDialog.h"

#include "platform/vcmd/SphinxVoiceCommandControl.h"

#include <QAudioDevice>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMediaDevices>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr double kMeterFloorDb = -60.0;
constexpr size_t kShortestRecording = 16000 * 2 / 5;   // shorter is a click or a cough, not a phrase

} // namespace

TrainingDialog::TrainingDialog(SphinxVoiceCommandControl& control, QWidget* parent)
    : QDialog(parent), m_control(control)
{
    setObjectName(QStringLiteral("frmTraining"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    m_cboDevice = new QComboBox(this);
    m_cboDevice->setObjectName(QStringLiteral("cboDevice"));
    m_cboDevice->addItem(tr("Default microphone"), QString());
    for (const QAudioDevice& device : QMediaDevices::audioInputs())
        m_cboDevice->addItem(device.description(), device.description());
    if (const int at = m_cboDevice->findData(control.inputDeviceName()); at >= 0)
        m_cboDevice->setCurrentIndex(at);
    m_cboDevice->setEnabled(control.isUsingMicrophone());
    form->addRow(tr("Microphone:"), m_cboDevice);

    m_level = new QProgressBar(this);
    m_level->setObjectName(QStringLiteral("prgLevel"));
    m_level->setRange(0, 100);
    m_level->setTextVisible(false);
    form->addRow(tr("Level:"), m_level);

    auto* noiseRow = new QHBoxLayout;
    m_cmdCalibrate = new QPushButton(tr("Measure background noise"), this);
    m_cmdCalibrate->setObjectName(QStringLiteral("cmdCalibrate"));
    m_lblNoise = new QLabel(tr("Stay quiet for two seconds while it measures."), this);
    m_lblNoise->setObjectName(QStringLiteral("lblNoise"));
    noiseRow->addWidget(m_cmdCalibrate);
    noiseRow->addWidget(m_lblNoise, 1);
    form->addRow(tr("Noise:"), noiseRow);

    auto* practice = new QLabel(tr("Practice: say your phrases. Each line shows what was heard, how sure the "
                                   "recogniser was, and whether it would run at the current accuracy setting."),
                                this);
    practice->setWordWrap(true);
    layout->addWidget(practice);
    m_lstPractice = new QListWidget(this);
    m_lstPractice->setObjectName(QStringLiteral("lstPractice"));
    layout->addWidget(m_lstPractice, 1);

    m_lblProblem = new QLabel(this);
    m_lblProblem->setObjectName(QStringLiteral("lblProblem"));
    m_lblProblem->setWordWrap(true);
    m_lblProblem->setStyleSheet(QStringLiteral("color: #b00000"));
    layout->addWidget(m_lblProblem);
    showProblem(control.audioProblem());

    auto* adapt = new QGroupBox(tr("Adapt to your voice"), this);
    auto* adaptLayout = new QVBoxLayout(adapt);
    m_lblAdapt = new QLabel(adapt);
    m_lblAdapt->setObjectName(QStringLiteral("lblAdapt"));
    m_lblAdapt->setWordWrap(true);
    adaptLayout->addWidget(m_lblAdapt);
    m_lblPrompt = new QLabel(adapt);
    m_lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    m_lblPrompt->setWordWrap(true);
    QFont promptFont = m_lblPrompt->font();
    promptFont.setPointSizeF(promptFont.pointSizeF() * 1.5);
    promptFont.setBold(true);
    m_lblPrompt->setFont(promptFont);
    m_lblPrompt->hide();
    adaptLayout->addWidget(m_lblPrompt);
    m_prgAdapt = new QProgressBar(adapt);
    m_prgAdapt->setObjectName(QStringLiteral("prgAdapt"));
    m_prgAdapt->hide();
    adaptLayout->addWidget(m_prgAdapt);
    auto* adaptButtons = new QHBoxLayout;
    m_cmdAdapt = new QPushButton(adapt);
    m_cmdAdapt->setObjectName(QStringLiteral("cmdAdapt"));
    m_cmdRepeat = new QPushButton(tr("Say the last one again"), adapt);
    m_cmdRepeat->setObjectName(QStringLiteral("cmdRepeat"));
    m_cmdForget = new QPushButton(tr("Forget my voice"), adapt);
    m_cmdForget->setObjectName(QStringLiteral("cmdForget"));
    adaptButtons->addWidget(m_cmdAdapt);
    adaptButtons->addWidget(m_cmdRepeat);
    adaptButtons->addStretch(1);
    adaptButtons->addWidget(m_cmdForget);
    adaptLayout->addLayout(adaptButtons);
    layout->addWidget(adapt);
    endSession();
    if (control.isAdapting()) {
        m_cmdAdapt->setEnabled(false);
        m_lblAdapt->setText(tr("Adapting to your voice…"));
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    layout->addWidget(buttons);
    resize(560, 600);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_cboDevice, &QComboBox::currentIndexChanged, this, &TrainingDialog::cboDevice_Change);
    connect(m_cmdCalibrate, &QPushButton::clicked, this, &TrainingDialog::cmdCalibrate_Click);
    connect(&control, &SphinxVoiceCommandControl::levelMeasured, this, &TrainingDialog::showLevel);
    connect(&control, &SphinxVoiceCommandControl::noiseMeasured, this, &TrainingDialog::showNoise);
    connect(&control, &SphinxVoiceCommandControl::utteranceHeard, this, &TrainingDialog::showHearing);
    connect(&control, &SphinxVoiceCommandControl::audioProblemChanged, this, &TrainingDialog::showProblem);
    connect(m_cmdAdapt, &QPushButton::clicked, this, &TrainingDialog::cmdAdapt_Click);
    connect(m_cmdRepeat, &QPushButton::clicked, this, &TrainingDialog::cmdRepeat_Click);
    connect(m_cmdForget, &QPushButton::clicked, this, &TrainingDialog::cmdForget_Click);
    connect(&control, &SphinxVoiceCommandControl::utteranceRecorded, this,
            [this](const Hearing&, const std::vector<int16_t>& audio) { record(audio); });
    connect(&control, &SphinxVoiceCommandControl::adaptationProgress, this, &TrainingDialog::showAdaptationProgress);
    connect(&control, &SphinxVoiceCommandControl::adaptationFinished, this, &TrainingDialog::showAdaptationResult);
    connect(&control, &SphinxVoiceCommandControl::adaptationChanged, this, &TrainingDialog::showAdapted);
}

TrainingDialog::~TrainingDialog()
{
    if (!m_sessionPhrases.isEmpty())
        m_control.setRecordingUtterances(false);
}

void TrainingDialog::cboDevice_Change(int index)
{
    m_control.selectInputDevice(m_cboDevice->itemData(index).toString());
}

void TrainingDialog::cmdCalibrate_Click()
{
    m_cmdCalibrate->setEnabled(false);
    m_lblNoise->setText(tr("Measuring… stay quiet."));
    m_control.calibrateNoise();
}

void TrainingDialog::showLevel(double levelDb)
{
    const double clamped = std::clamp(levelDb, kMeterFloorDb, 0.0);
    m_level->setValue(int(std::lround((clamped - kMeterFloorDb) * 100.0 / -kMeterFloorDb)));
}

void TrainingDialog::showNoise(double levelDb)
{
    m_cmdCalibrate->setEnabled(true);
    QString verdict;
    if (levelDb < -50)
        verdict = tr("quiet: good for recognition");
    else if (levelDb < -35)
        verdict = tr("some noise: speak clearly, close to the microphone");
    else
        verdict = tr("loud: expect missed phrases; move the microphone closer or reduce the noise");
    m_lblNoise->setText(tr("Background %1 dB, %2.").arg(int(std::lround(levelDb))).arg(verdict));
}

void TrainingDialog::showHearing(const Hearing& hearing)
{
    QString line;
    if (hearing.phrase.isEmpty()) {
        line = hearing.heard.isEmpty() ? tr("(noise)") : tr("(not a phrase of the menu)");
        line += tr(" — would not run");
    } else {
        const bool runs = SphinxRecognizer::passes(hearing, m_control.threshold());
        line = tr("\"%1\" — sure: %2 of 100 — %3")
                   .arg(hearing.phrase)
                   .arg(hearing.score)
                   .arg(runs                ? tr("would run")
                           : hearing.withheld ? tr("would not run: cut short, or unclear in the noise")
                                              : tr("would not run at this accuracy setting"));
    }
    m_lstPractice->addItem(line);
    m_lstPractice->scrollToBottom();
}

void TrainingDialog::showProblem(const QString& message)
{
    m_lblProblem->setText(message);
    m_lblProblem->setVisible(!message.isEmpty());
}

void TrainingDialog::cmdAdapt_Click()
{
    if (!m_sessionPhrases.isEmpty()) {
        endSession();
        return;
    }
    m_sessionPhrases = SpeakerAdaptation::sessionPhrases();
    m_recordings.clear();
    m_control.setRecordingUtterances(true);
    m_cmdAdapt->setText(tr("Cancel"));
    m_cmdForget->setEnabled(false);
    m_lblAdapt->setText(tr("Read each phrase aloud in your usual voice, then wait for the next one."));
    m_lblPrompt->show();
    m_cmdRepeat->show();
    m_prgAdapt->setRange(0, int(m_sessionPhrases.size()));
    m_prgAdapt->show();
    showPrompt();
}

void TrainingDialog::cmdRepeat_Click()
{
    if (!m_recordings.empty())
        m_recordings.pop_back();
    showPrompt();
}

void TrainingDialog::cmdForget_Click()
{
    if (const auto forgotten = m_control.forgetVoice(); !forgotten) {
        m_lblAdapt->setText(forgotten.error().message);
        return;
    }
    m_cmdForget->setEnabled(false);
    m_lblAdapt->setText(tr("Your voice is forgotten: the recogniser uses its plain model again."));
}

void TrainingDialog::record(const std::vector<int16_t>& audio)
{
    if (m_sessionPhrases.isEmpty() || audio.size() < kShortestRecording)
        return;
    m_recordings.push_back({m_sessionPhrases[qsizetype(m_recordings.size())], audio});
    if (m_recordings.size() < size_t(m_sessionPhrases.size())) {
        showPrompt();
        return;
    }
    std::vector<AdaptationRecording> recordings = std::move(m_recordings);
    endSession();
    m_cmdAdapt->setEnabled(false);
    m_cmdForget->setEnabled(false);
    m_prgAdapt->setRange(0, 100);
    m_prgAdapt->setValue(0);
    m_prgAdapt->show();
    m_lblAdapt->setText(tr("Adapting to your voice…"));
    m_control.adaptToVoice(std::move(recordings));
}

void TrainingDialog::showPrompt()
{
    const auto done = qsizetype(m_recordings.size());
    m_lblPrompt->setText(tr("%1 of %2: \"%3\"").arg(done + 1).arg(m_sessionPhrases.size()).arg(m_sessionPhrases[done]));
    m_prgAdapt->setValue(int(done));
    m_cmdRepeat->setEnabled(done > 0);
}

void TrainingDialog::endSession()
{
    if (!m_sessionPhrases.isEmpty())
        m_control.setRecordingUtterances(false);
    m_sessionPhrases.clear();
    m_recordings.clear();
    m_cmdAdapt->setText(tr("Adapt to my voice"));
    m_cmdRepeat->hide();
    m_lblPrompt->hide();
    m_prgAdapt->hide();
    showAdapted(m_control.isAdapted());
    m_lblAdapt->setText(m_control.isAdapted()
            ? tr("The recogniser is adapted to your voice. Adapt again after a change of microphone, or forget "
                 "it to return to the plain model.")
            : tr("Read %1 short phrases aloud, and the recogniser adapts to your voice and microphone. It takes "
                 "about three minutes.").arg(SpeakerAdaptation::sessionPhrases().size()));
}

void TrainingDialog::showAdaptationProgress(int percent, const QString& step)
{
    m_prgAdapt->setValue(percent);
    m_lblAdapt->setText(step + QStringLiteral("…"));
}

void TrainingDialog::showAdaptationResult(const QString& error)
{
    m_prgAdapt->hide();
    m_cmdAdapt->setEnabled(true);
    m_cmdForget->setEnabled(m_control.isAdapted());
    m_lblAdapt->setText(error.isEmpty()
            ? tr("Done: the recogniser is now adapted to your voice.")
            : tr("Your voice could not be adapted to: %1 The recogniser goes on as before.").arg(error));
}

void TrainingDialog::showAdapted(bool adapted)
{
    m_cmdForget->setEnabled(adapted && m_sessionPhrases.isEmpty() && !m_control.isAdapting());
}
