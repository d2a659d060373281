#include "app/settings/SettingsPage.h"

#include "app/settings/CSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QWidget* page(QTabWidget* tabs, const QString& caption)
{
    auto* widget = new QWidget;
    tabs->addTab(widget, caption);
    return widget;
}

// Captions keep the doubled ampersand of a literal "&"; buttons and boxes read it that
// way, a label without a buddy shows it as written.
QLabel* label(const QString& caption)
{
    return new QLabel(QString(caption).replace(QStringLiteral("&&"), QStringLiteral("&")));
}

QSlider* slider(const char* name, int minimum, int maximum, int tick)
{
    auto* widget = named(new QSlider(Qt::Horizontal), name);
    widget->setRange(minimum, maximum);
    widget->setSingleStep(1);
    widget->setPageStep(5);
    widget->setTickInterval(tick);
    widget->setTickPosition(QSlider::TicksBelow);
    return widget;
}

// A slider with its caption above the left end and its hint above the right end.
void addSlider(QVBoxLayout* layout, const QString& caption, const QString& hint, QSlider* slider)
{
    auto* ends = new QHBoxLayout;
    ends->addWidget(label(caption));
    ends->addStretch();
    ends->addWidget(label(hint));
    layout->addLayout(ends);
    layout->addWidget(slider);
}

// Selects an entry while the control's own change signal stays quiet, so that the
// caller runs its handler exactly once, also when the entry was already selected.
void selectQuietly(QComboBox* box, int index)
{
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index);
}

void setQuietly(QSlider* slider, int value)
{
    const QSignalBlocker blocker(slider);
    slider->setValue(value);
}

} // namespace

SettingsPage::SettingsPage(CSettings& settings, SettingsPageServices services, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_services(std::move(services))
{
    setObjectName(QStringLiteral("SettingsPage"));
    tabSettings = named(new QTabWidget(this), "tabSettings");
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(tabSettings);

    {
        auto* form = new QFormLayout(page(tabSettings, tr("General Settings")));
        txtUserName = named(new QLineEdit, "txtUserName");
        form->addRow(tr("Your Name:"), txtUserName);
        chkAutoStart = named(new QCheckBox(tr("Auto start in system tray")), "chkAutoStart");
        chkSayTime = named(new QCheckBox(tr("Say the time every hour")), "chkSayTime");
        chkLoadSilence = named(new QCheckBox(tr("Start in 'Not Listening' mode")), "chkLoadSilence");
        chkDesktopApplications =
            named(new QCheckBox(tr("Include 'Desktop' applications")), "chkDesktopApplications");
        chkLoadStartMenu = named(new QCheckBox(tr("Include 'Start Menu' applications")), "chkLoadStartMenu");
        chkLoadControlPanel = named(new QCheckBox(tr("Include 'Control Panel' items")), "chkLoadControlPanel");
        chkStayOnTop = named(new QCheckBox(tr("Keep Vorlix window on top")), "chkStayOnTop");
        for (QCheckBox* box : {chkAutoStart, chkSayTime, chkLoadSilence, chkDesktopApplications, chkLoadStartMenu,
                               chkLoadControlPanel, chkStayOnTop})
            form->addRow(box);
        cboCharacterMode = named(new QComboBox, "cboCharacterMode");
        cboCharacterMode->addItems({tr("Character is visible and talks"), tr("Character talks and is hidden"),
                                    tr("Character is hidden and silent")});
        form->addRow(cboCharacterMode);
    }
    {
        auto* form = new QFormLayout(page(tabSettings, tr("Welcome")));
        cboWelcomeGesture = named(new QComboBox, "cboWelcomeGesture");
        txtWelcomeMessage = named(new QLineEdit, "txtWelcomeMessage");
        cmdPreviewWelcome = named(new QPushButton(tr("Preview")), "cmdPreviewWelcome");
        cmdHide = named(new QPushButton(tr("Hide")), "cmdHide");
        form->addRow(tr("Welcome gesture"), cboWelcomeGesture);
        form->addRow(tr("My welcome message"), txtWelcomeMessage);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(cmdPreviewWelcome);
        buttons->addWidget(cmdHide);
        buttons->addStretch();
        form->addRow(buttons);
    }
    {
        auto* layout = new QVBoxLayout(page(tabSettings, tr("Character")));
        auto* top = new QFormLayout;
        cboCharacter = named(new QComboBox, "cboCharacter");
        cmdDownload = named(new QPushButton(tr("Download More Characters")), "cmdDownload");
        lblCharacterMessage = named(
            new QLabel(tr("To add more characters, go to our web site by clicking the download button above.")),
            "lblCharacterMessage");
        lblCharacterMessage->setWordWrap(true);
        top->addRow(tr("Character"), cboCharacter);
        top->addRow(QString(), cmdDownload);
        top->addRow(lblCharacterMessage);
        layout->addLayout(top);

        auto* frames = new QHBoxLayout;
        auto* behaviour = new QGroupBox(tr(" Character behavior "));
        auto* behaviourForm = new QFormLayout(behaviour);
        chkFast = named(new QCheckBox(tr("Quick show && hide")), "chkFast");
        chkAlwaysShow = named(new QCheckBox(tr("Always show character")), "chkAlwaysShow");
        cboPosition = named(new QComboBox, "cboPosition");
        cboPosition->addItems({tr("Center"), tr("Top Center"), tr("Bottom Center"), tr("Top Left"), tr("Top Right"),
                               tr("Bottom Left"), tr("Bottom Right"), tr("Stay in place")});
        cboSize = named(new QComboBox, "cboSize");
        cboSize->addItems({tr("Extra Small"), tr("Small"), tr("Regular"), tr("Large"), tr("Extra Large")});
        cboVoiceCharacter = named(new QComboBox, "cboVoiceCharacter");
        cboVoiceCharacter->addItems({QStringLiteral("Normal"), QStringLiteral("Monotone"), QStringLiteral("Whisper")});
        behaviourForm->addRow(chkFast);
        behaviourForm->addRow(chkAlwaysShow);
        behaviourForm->addRow(tr("Character position"), cboPosition);
        behaviourForm->addRow(tr("Character size"), cboSize);
        behaviourForm->addRow(tr("Voice Type"), cboVoiceCharacter);

        auto* balloon = new QGroupBox(tr(" Balloon "));
        auto* balloonForm = new QFormLayout(balloon);
        chkShowBalloon = named(new QCheckBox(tr("Show Balloon")), "chkShowBalloon");
        cboFontName = named(new QComboBox, "cboFontName");
        cboFontSize = named(new QComboBox, "cboFontSize");
        cboFontSize->addItems({"8", "10", "12", "14", "16", "18", "20", "22", "24"});
        balloonForm->addRow(chkShowBalloon);
        balloonForm->addRow(tr("Font"), cboFontName);
        balloonForm->addRow(tr("Size"), cboFontSize);
        frames->addWidget(behaviour);
        frames->addWidget(balloon);
        layout->addLayout(frames);
        layout->addStretch();
    }
    {
        auto* layout = new QVBoxLayout(page(tabSettings, tr("Voice Recognition")));
        sldThreshold = slider("sldThreshold", 0, 100, 5);
        addSlider(layout, tr("Recognition Accuracy"), tr("High accuracy && Slow response"), sldThreshold);
        cmdVRTraining = named(new QPushButton(tr("Training")), "cmdVRTraining");
        layout->addWidget(cmdVRTraining, 0, Qt::AlignLeft);
        layout->addStretch();
    }
    {
        auto* layout = new QVBoxLayout(page(tabSettings, tr("Speech")));
        auto* frame = new QGroupBox(tr("Character Speech"));
        auto* inner = new QVBoxLayout(frame);
        sldSpeed = slider("sldSpeed", 50, 250, 10);
        sldPitch = slider("sldPitch", 50, 400, 20);
        addSlider(inner, tr("Character speech speed"), tr("Fast"), sldSpeed);
        addSlider(inner, tr("Character voice pitch"), tr("Hign pitch"), sldPitch);
        layout->addWidget(frame);
        cmdClipboard = named(new QPushButton(tr("Read Clipboard")), "cmdClipboard");
        layout->addWidget(cmdClipboard, 0, Qt::AlignLeft);
        layout->addStretch();
    }
    connectControls();
}

void SettingsPage::connectControls()
{
    connect(txtUserName, &QLineEdit::textChanged, this, [this](const QString& text) { m_settings.m_UserName = text; });
    connect(txtWelcomeMessage, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_settings.m_WelcomeMessage = text; });

    connect(cboCharacter, &QComboBox::currentIndexChanged, this, &SettingsPage::cboCharacter_Click);
    connect(cboPosition, &QComboBox::currentIndexChanged, this, &SettingsPage::cboPosition_Click);
    connect(cboSize, &QComboBox::currentIndexChanged, this, &SettingsPage::cboSize_Click);
    connect(cboVoiceCharacter, &QComboBox::currentIndexChanged, this, &SettingsPage::cboVoiceCharacter_Click);
    connect(cboFontName, &QComboBox::currentIndexChanged, this, &SettingsPage::cboFontName_Click);
    connect(cboFontSize, &QComboBox::currentIndexChanged, this, &SettingsPage::cboFontSize_Click);
    connect(cboWelcomeGesture, &QComboBox::currentIndexChanged, this, &SettingsPage::cboWelcomeGesture_Click);
    connect(cboCharacterMode, &QComboBox::currentIndexChanged, this, &SettingsPage::cboCharacterMode_Click);

    connect(chkShowBalloon, &QCheckBox::toggled, this, &SettingsPage::chkShowBalloon_Click);
    connect(chkAlwaysShow, &QCheckBox::toggled, this, &SettingsPage::chkAlwaysShow_Click);
    connect(chkFast, &QCheckBox::toggled, this, &SettingsPage::chkFast_Click);
    connect(chkSayTime, &QCheckBox::toggled, this, &SettingsPage::chkSayTime_Click);
    connect(chkLoadSilence, &QCheckBox::toggled, this, &SettingsPage::chkLoadSilence_Click);
    connect(chkStayOnTop, &QCheckBox::toggled, this, &SettingsPage::chkStayOnTop_Click);
    for (QCheckBox* box : {chkDesktopApplications, chkLoadStartMenu, chkLoadControlPanel})
        connect(box, &QCheckBox::toggled, this, [this, box] { startListSource_Click(box); });

    connect(sldSpeed, &QSlider::valueChanged, this, &SettingsPage::sldSpeed_Change);
    connect(sldPitch, &QSlider::valueChanged, this, &SettingsPage::sldPitch_Change);
    connect(sldThreshold, &QSlider::valueChanged, this, &SettingsPage::sldThreshold_Change);

    connect(cmdPreviewWelcome, &QPushButton::clicked, this, [this] {
        emit previewWelcomeClicked(txtWelcomeMessage->text(), cboWelcomeGesture->currentText());
    });
    connect(cmdHide, &QPushButton::clicked, this, &SettingsPage::hideClicked);
    connect(cmdClipboard, &QPushButton::clicked, this, &SettingsPage::clipboardClicked);
    connect(cmdVRTraining, &QPushButton::clicked, this, &SettingsPage::trainingClicked);
    connect(cmdDownload, &QPushButton::clicked, this, &SettingsPage::downloadClicked);
}

void SettingsPage::FillFontList(const QStringList& systemFonts)
{
    // Filling must not store the first font over the one the settings hold.
    const QSignalBlocker blocker(cboFontName);
    cboFontName->clear();
    cboFontName->addItems(systemFonts.mid(0, kMaxFonts));
}

void SettingsPage::FillCharacterList(const QStringList& fileNames, int selection)
{
    const QSignalBlocker blocker(cboCharacter);
    cboCharacter->clear();
    cboCharacter->addItems(fileNames);
    if (selection >= 0)
        cboCharacter->setCurrentIndex(selection);
}

void SettingsPage::FillGestureList(const QStringList& gestures, int selection)
{
    const QSignalBlocker blocker(cboWelcomeGesture);
    cboWelcomeGesture->clear();
    cboWelcomeGesture->addItems(gestures);
    cboWelcomeGesture->setCurrentIndex(selection);
}

// Setting a control runs its handler, as the user's change would. Where the handler must
// run even when the control already showed the value (a fallback to store, the balloon
// and mode to apply, the threshold to hand on), the control is set quietly and its
// handler called once. A stored index outside a fixed list shows no entry and stays as
// stored.
void SettingsPage::load()
{
    m_loading = true;
    txtUserName->setText(m_settings.m_UserName);
    chkSayTime->setChecked(m_settings.m_SayTime);
    chkShowBalloon->setChecked(m_settings.m_ShowBalloon);
    chkAlwaysShow->setChecked(!m_settings.m_Hide);
    chkFast->setChecked(m_settings.m_Fast);
    cboPosition->setCurrentIndex(m_settings.m_Position);
    cboSize->setCurrentIndex(m_settings.m_CharacterSize);
    // The box would cut a longer message, and the cut one would be saved at exit.
    txtWelcomeMessage->setMaxLength(std::max(txtWelcomeMessage->maxLength(), int(m_settings.m_WelcomeMessage.size())));
    txtWelcomeMessage->setText(m_settings.m_WelcomeMessage);
    if (m_services.readAutoStart) {
        if (std::optional<bool> autoStart = m_services.readAutoStart())
            chkAutoStart->setChecked(*autoStart);
    }

    selectQuietly(cboVoiceCharacter, std::max(0, cboVoiceCharacter->findText(m_settings.m_VoiceCharacter)));
    cboVoiceCharacter_Click();

    int font = cboFontName->findText(m_settings.m_FontName, Qt::MatchFixedString);
    if (font < 0)
        font = std::max(0, cboFontName->findText(kFallbackFont, Qt::MatchFixedString));
    selectQuietly(cboFontName, font);
    cboFontName_Click();

    int size = cboFontSize->findText(QString::number(m_settings.m_FontSize));
    if (size < 0)
        size = cboFontSize->findText(QStringLiteral("10"));
    selectQuietly(cboFontSize, size);
    cboFontSize_Click();

    chkLoadSilence->setChecked(!m_settings.m_ActiveMode);
    chkLoadControlPanel->setChecked(m_settings.m_LoadControlPanel != 0);
    chkLoadStartMenu->setChecked(m_settings.m_LoadStartMenu != 0);
    chkDesktopApplications->setChecked(m_settings.m_LoadDesktop != 0);

    selectQuietly(cboCharacterMode, m_settings.m_CharacterMode);
    cboCharacterMode_Click();

    setQuietly(sldSpeed, m_settings.m_VoiceSpeed);
    sldSpeed_Change();
    setQuietly(sldPitch, m_settings.m_VoicePitch);
    sldPitch_Change();
    // The recogniser gets the stored threshold even when the slider already showed it.
    setQuietly(sldThreshold, m_settings.m_Threshold);
    sldThreshold_Change();

    // The window order itself follows at the window's first activation.
    const QSignalBlocker blocker(chkStayOnTop);
    chkStayOnTop->setChecked(m_settings.m_StayOnTop);
    m_loading = false;
}

void SettingsPage::save()
{
    if (m_services.writeAutoStart)
        m_services.writeAutoStart(chkAutoStart->isChecked());
}

void SettingsPage::ShowRestartNotice()
{
    if (m_services.showMessage)
        m_services.showMessage(
            QStringLiteral("In order for these settings to take effect you will need to restart ") +
                m_services.applicationTitle,
            true);
}

// The combo boxes' handlers ignore "no entry" (-1): a list being refilled, or a stored
// index outside the list, must not overwrite the setting.

void SettingsPage::cboCharacter_Click()
{
    if (m_loading || cboCharacter->currentIndex() < 0)
        return;
    emit characterPicked(cboCharacter->currentText());
}

void SettingsPage::cboPosition_Click()
{
    const int index = cboPosition->currentIndex();
    if (index < 0)
        return;
    m_settings.m_Position = index;
    if (!m_loading)
        emit positionPicked(index);
}

void SettingsPage::cboSize_Click()
{
    const int index = cboSize->currentIndex();
    if (index < 0)
        return;
    m_settings.m_CharacterSize = index;
    if (!m_loading)
        emit sizePicked(index);
}

void SettingsPage::cboVoiceCharacter_Click()
{
    if (cboVoiceCharacter->currentIndex() < 0)
        return;
    m_settings.m_VoiceCharacter = cboVoiceCharacter->currentText();
    if (!m_loading)
        emit voicePicked(m_settings.m_VoiceCharacter);
}

void SettingsPage::cboFontName_Click()
{
    if (cboFontName->currentIndex() < 0)
        return;
    m_settings.m_FontName = cboFontName->currentText();
    if (m_loading)
        emit balloonChanged();
    else
        emit fontNamePicked(m_settings.m_FontName);
}

void SettingsPage::cboFontSize_Click()
{
    if (cboFontSize->currentIndex() < 0)
        return;
    m_settings.m_FontSize = cboFontSize->currentText().toInt();
    if (m_loading)
        emit balloonChanged();
    else
        emit fontSizePicked(m_settings.m_FontSize);
}

void SettingsPage::cboWelcomeGesture_Click()
{
    if (cboWelcomeGesture->currentIndex() >= 0)
        m_settings.m_WelcomeGesture = cboWelcomeGesture->currentText();
}

void SettingsPage::cboCharacterMode_Click()
{
    const int mode = cboCharacterMode->currentIndex();
    if (mode < 0)
        return;
    m_settings.m_CharacterMode = mode;
    emit characterModePicked(mode);
}

void SettingsPage::chkShowBalloon_Click()
{
    m_settings.m_ShowBalloon = chkShowBalloon->isChecked();
    emit showBalloonChanged(m_settings.m_ShowBalloon);
}

void SettingsPage::chkAlwaysShow_Click()
{
    m_settings.m_Hide = !chkAlwaysShow->isChecked();
}

void SettingsPage::chkFast_Click()
{
    m_settings.m_Fast = chkFast->isChecked();
}

void SettingsPage::chkSayTime_Click()
{
    m_settings.m_SayTime = chkSayTime->isChecked();
}

// Takes effect at the next start: the listening state now is the listening button's.
void SettingsPage::chkLoadSilence_Click()
{
    if (!m_loading)
        m_settings.m_LoadSilence = chkLoadSilence->isChecked() ? 1 : 0;
}

void SettingsPage::chkStayOnTop_Click()
{
    m_settings.m_StayOnTop = chkStayOnTop->isChecked();
    emit stayOnTopChanged(m_settings.m_StayOnTop);
}

void SettingsPage::startListSource_Click(QCheckBox* box)
{
    if (m_loading)
        return;
    const int16_t value = box->isChecked() ? 1 : 0;
    if (box == chkDesktopApplications)
        m_settings.m_LoadDesktop = value;
    else if (box == chkLoadStartMenu)
        m_settings.m_LoadStartMenu = value;
    else
        m_settings.m_LoadControlPanel = value;
    emit startListSourceChanged();
}

void SettingsPage::sldSpeed_Change()
{
    m_settings.m_VoiceSpeed = sldSpeed->value();
}

void SettingsPage::sldPitch_Change()
{
    m_settings.m_VoicePitch = sldPitch->value();
}

void SettingsPage::sldThreshold_Change()
{
    m_settings.m_Threshold = sldThreshold->value();
    emit thresholdChanged(m_settings.m_Threshold);
}
