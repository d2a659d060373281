#include "platform/vcmd/TrainingDialog.h"

#include "platform/vcmd/SphinxVoiceCommandControl.h"

#include <QAudioDevice>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QMediaDevices>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr double kMeterFloorDb = -60.0;

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

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    layout->addWidget(buttons);
    resize(520, 420);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_cboDevice, &QComboBox::currentIndexChanged, this, &TrainingDialog::cboDevice_Change);
    connect(m_cmdCalibrate, &QPushButton::clicked, this, &TrainingDialog::cmdCalibrate_Click);
    connect(&control, &SphinxVoiceCommandControl::levelMeasured, this, &TrainingDialog::showLevel);
    connect(&control, &SphinxVoiceCommandControl::noiseMeasured, this, &TrainingDialog::showNoise);
    connect(&control, &SphinxVoiceCommandControl::utteranceHeard, this, &TrainingDialog::showHearing);
    connect(&control, &SphinxVoiceCommandControl::audioProblemChanged, this, &TrainingDialog::showProblem);
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
                   .arg(runs ? tr("would run") : tr("would not run at this accuracy setting"));
    }
    m_lstPractice->addItem(line);
    m_lstPractice->scrollToBottom();
}

void TrainingDialog::showProblem(const QString& message)
{
    m_lblProblem->setText(message);
    m_lblProblem->setVisible(!message.isEmpty());
}
