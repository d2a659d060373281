#include "app/settings/SettingsPage.h"

#include "app/settings/CSettings.h"
#include "tests/support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <optional>

namespace {

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

QStringList fonts(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("Font %1").arg(i);
    return names;
}

class SettingsPageTest : public IsolatedTest {
protected:
    SettingsPageTest()
        : settings(env.root()),
          page(settings, SettingsPageServices{[this] { return storedAutoStart; },
                                              [this](bool enable) { autoStartWrites << enable; },
                                              [this](const QString& text, bool speak) {
                                                  messages << QStringLiteral("%1 %2").arg(speak).arg(text);
                                              },
                                              QStringLiteral("Vorlix")})
    {
        // Every request of the page as one line, in order.
        QObject::connect(&page, &SettingsPage::characterPicked, [this](const QString& s) { log << "character " + s; });
        QObject::connect(&page, &SettingsPage::positionPicked, [this](int i) { log << QStringLiteral("position %1").arg(i); });
        QObject::connect(&page, &SettingsPage::sizePicked, [this](int i) { log << QStringLiteral("size %1").arg(i); });
        QObject::connect(&page, &SettingsPage::voicePicked, [this](const QString& s) { log << "voice " + s; });
        QObject::connect(&page, &SettingsPage::fontNamePicked, [this](const QString& s) { log << "font " + s; });
        QObject::connect(&page, &SettingsPage::fontSizePicked, [this](int i) { log << QStringLiteral("font size %1").arg(i); });
        QObject::connect(&page, &SettingsPage::balloonChanged, [this] { log << "balloon"; });
        QObject::connect(&page, &SettingsPage::showBalloonChanged, [this](bool b) { log << QStringLiteral("show balloon %1").arg(b); });
        QObject::connect(&page, &SettingsPage::characterModePicked, [this](int i) { log << QStringLiteral("mode %1").arg(i); });
        QObject::connect(&page, &SettingsPage::stayOnTopChanged, [this](bool b) { log << QStringLiteral("on top %1").arg(b); });
        QObject::connect(&page, &SettingsPage::thresholdChanged, [this](int i) { log << QStringLiteral("threshold %1").arg(i); });
        QObject::connect(&page, &SettingsPage::startListSourceChanged, [this] { log << "start list"; });
        QObject::connect(&page, &SettingsPage::previewWelcomeClicked,
                         [this](const QString& m, const QString& g) { log << "preview " + m + " / " + g; });
        QObject::connect(&page, &SettingsPage::hideClicked, [this] { log << "hide"; });
        QObject::connect(&page, &SettingsPage::clipboardClicked, [this] { log << "clipboard"; });
        QObject::connect(&page, &SettingsPage::trainingClicked, [this] { log << "training"; });
        QObject::connect(&page, &SettingsPage::downloadClicked, [this] { log << "download"; });
    }

    template <typename T>
    T* control(const char* name)
    {
        T* widget = page.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }

    // Start-up as the main window runs it: the lists, then the page fills itself.
    void startUp(const QStringList& systemFonts = {"Serif", "MS Sans Serif", "Mono"})
    {
        page.FillFontList(systemFonts);
        page.FillCharacterList({"merlin.acs", "robby.acs"}, 0);
        page.FillGestureList({"None", "Greet", "Read"}, 1);
        page.load();
    }

    // Picks an entry as a click in the open list does: selects it, then reports it activated.
    static void pick(QComboBox* box, const QString& text)
    {
        const int target = box->findText(text);
        ASSERT_GE(target, 0) << text.toStdString();
        box->setCurrentIndex(target);
        emit box->activated(target);
    }

    CSettings settings;
    std::optional<bool> storedAutoStart;
    QList<bool> autoStartWrites;
    QStringList messages;
    QStringList log;
    SettingsPage page;
};

// --- The page as the user sees it ---------------------------------------------------

TEST_F(SettingsPageTest, FivePagesInTheirOrder)
{
    QStringList captions;
    for (int i = 0; i < page.tabSettings->count(); ++i)
        captions << page.tabSettings->tabText(i);
    EXPECT_EQ(captions, QStringList({"General Settings", "Welcome", "Character", "Voice Recognition", "Speech"}));
    EXPECT_EQ(page.caption(), " Settings");
}

TEST_F(SettingsPageTest, EveryControlOnItsPageWithItsCaption)
{
    struct Expected {
        const char* name;
        int page;
        QString text;   // the button's or box's own text; empty for the other controls
    };
    const Expected expected[] = {
        {"txtUserName", 0, {}}, {"chkAutoStart", 0, "Auto start in system tray"},
        {"chkSayTime", 0, "Say the time every hour"}, {"chkLoadSilence", 0, "Start in 'Not Listening' mode"},
        {"chkDesktopApplications", 0, "Include 'Desktop' applications"},
        {"chkLoadStartMenu", 0, "Include 'Start Menu' applications"},
        {"chkLoadControlPanel", 0, "Include 'Control Panel' items"},
        {"chkStayOnTop", 0, "Keep Vorlix window on top"}, {"cboCharacterMode", 0, {}},
        {"cboWelcomeGesture", 1, {}}, {"txtWelcomeMessage", 1, {}}, {"cmdPreviewWelcome", 1, "Preview"},
        {"cmdHide", 1, "Hide"}, {"cboCharacter", 2, {}}, {"cmdDownload", 2, "Download More Characters"},
        {"lblCharacterMessage", 2, {}}, {"chkFast", 2, "Quick show && hide"},
        {"chkAlwaysShow", 2, "Always show character"}, {"cboPosition", 2, {}}, {"cboSize", 2, {}},
        {"cboVoiceCharacter", 2, {}}, {"chkShowBalloon", 2, "Show Balloon"}, {"cboFontName", 2, {}},
        {"cboFontSize", 2, {}}, {"sldThreshold", 3, {}}, {"cmdVRTraining", 3, "Training"}, {"sldSpeed", 4, {}},
        {"sldPitch", 4, {}}, {"cmdClipboard", 4, "Read Clipboard"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        auto* widget = control<QWidget>(e.name);
        ASSERT_TRUE(widget);
        EXPECT_TRUE(page.tabSettings->widget(e.page)->isAncestorOf(widget));
        EXPECT_TRUE(widget->isEnabled());
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), e.text);
        }
    }
    EXPECT_EQ(control<QLabel>("lblCharacterMessage")->text(),
              "To add more characters, go to our web site by clicking the download button above.");

    // The captions beside the controls, as shown.
    QStringList labels;
    for (const QLabel* label : page.findChildren<QLabel*>())
        labels << label->text();
    for (const char* caption : {"Your Name:", "Welcome gesture", "My welcome message", "Character",
                                "Character position", "Character size", "Voice Type", "Font", "Size",
                                "Recognition Accuracy", "High accuracy & Slow response", "Character speech speed",
                                "Fast", "Character voice pitch", "Hign pitch"})
        EXPECT_TRUE(labels.contains(caption)) << caption;
}

TEST_F(SettingsPageTest, FixedLists)
{
    EXPECT_EQ(items(page.cboCharacterMode), QStringList({"Character is visible and talks",
                                                         "Character talks and is hidden",
                                                         "Character is hidden and silent"}));
    EXPECT_EQ(items(page.cboVoiceCharacter), QStringList({"Normal", "Monotone", "Whisper"}));
    EXPECT_EQ(items(page.cboFontSize), QStringList({"8", "10", "12", "14", "16", "18", "20", "22", "24"}));
    EXPECT_EQ(items(page.cboPosition), QStringList({"Center", "Top Center", "Bottom Center", "Top Left", "Top Right",
                                                    "Bottom Left", "Bottom Right", "Stay in place"}));
    EXPECT_EQ(items(page.cboSize), QStringList({"Extra Small", "Small", "Regular", "Large", "Extra Large"}));
}

struct SliderCase {
    const char* name;
    int minimum, maximum, tick;
    int32_t CSettings::*field;
};

class SettingsSliderTest : public SettingsPageTest, public testing::WithParamInterface<SliderCase> {};

TEST_P(SettingsSliderTest, RangeStepsAndWhatAMoveStores)
{
    const SliderCase& c = GetParam();
    startUp();
    auto* slider = control<QSlider>(c.name);
    ASSERT_TRUE(slider);
    EXPECT_EQ(slider->minimum(), c.minimum);
    EXPECT_EQ(slider->maximum(), c.maximum);
    EXPECT_EQ(slider->tickInterval(), c.tick);
    EXPECT_NE(slider->tickPosition(), QSlider::NoTicks);
    EXPECT_EQ(slider->singleStep(), 1);
    EXPECT_EQ(slider->pageStep(), 5);

    const int start = slider->value();
    QTest::keyClick(slider, Qt::Key_PageUp);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(settings.*c.field, start + 6);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(settings.*c.field, c.maximum);
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_EQ(settings.*c.field, c.minimum);
}

INSTANTIATE_TEST_SUITE_P(Sliders, SettingsSliderTest,
                         testing::Values(SliderCase{"sldSpeed", 50, 250, 10, &CSettings::m_VoiceSpeed},
                                         SliderCase{"sldPitch", 50, 400, 20, &CSettings::m_VoicePitch},
                                         SliderCase{"sldThreshold", 0, 100, 5, &CSettings::m_Threshold}));

// --- Filling the page at start-up ---------------------------------------------------

TEST_F(SettingsPageTest, FontListHoldsAtMostTheFirst21FontsInTheirOrder)
{
    settings.m_FontName = "Font 3";
    page.FillFontList(fonts(30));
    EXPECT_EQ(items(page.cboFontName), fonts(21));
    EXPECT_EQ(settings.m_FontName, "Font 3") << "filling the list stores nothing";
    page.FillFontList({"Only"});
    EXPECT_EQ(items(page.cboFontName), QStringList({"Only"}));
}

struct FontCase {
    QStringList systemFonts;
    QString stored;
    QString shown;
};

class SettingsFontTest : public SettingsPageTest, public testing::WithParamInterface<FontCase> {};

TEST_P(SettingsFontTest, StoredFontOrItsFallback)
{
    settings.m_FontName = GetParam().stored;
    startUp(GetParam().systemFonts);
    EXPECT_EQ(page.cboFontName->currentText(), GetParam().shown);
    EXPECT_EQ(settings.m_FontName, GetParam().shown) << "the font shown is the font used";
}

INSTANTIATE_TEST_SUITE_P(
    Fallbacks, SettingsFontTest,
    testing::Values(FontCase{fonts(30), "Font 20", "Font 20"},
                    // Listed by the system, but not among the first 21.
                    FontCase{fonts(30) << "MS Sans Serif", "Font 25", "Font 0"},
                    FontCase{QStringList{"Mono", "MS Sans Serif"} + fonts(30), "Font 25", "MS Sans Serif"},
                    FontCase{{"Mono", "Serif"}, "MS Sans Serif", "Mono"},
                    FontCase{{"Mono", "Serif"}, "serif", "Serif"}));

TEST_F(SettingsPageTest, FontSizeAndVoiceFallBackToTheirDefaults)
{
    const std::tuple<int, QString, QString, QString> cases[] = {
        {11, "10", "Robot", "Normal"},
        {14, "14", "Whisper", "Whisper"},
        {0, "10", "", "Normal"},
        {24, "24", "monotone", "Normal"},   // the voice type is matched as written
    };
    for (const auto& [storedSize, shownSize, storedVoice, shownVoice] : cases) {
        SCOPED_TRACE(storedSize);
        settings.m_FontSize = storedSize;
        settings.m_VoiceCharacter = storedVoice;
        page.load();
        EXPECT_EQ(page.cboFontSize->currentText(), shownSize);
        EXPECT_EQ(settings.m_FontSize, shownSize.toInt());
        EXPECT_EQ(page.cboVoiceCharacter->currentText(), shownVoice);
        EXPECT_EQ(settings.m_VoiceCharacter, shownVoice);
    }
}

TEST_F(SettingsPageTest, LoadShowsEveryStoredSetting)
{
    settings.m_UserName = "Ada";
    settings.m_SayTime = true;
    settings.m_ShowBalloon = false;
    settings.m_Hide = false;
    settings.m_Fast = false;
    settings.m_Position = 6;
    settings.m_CharacterSize = 4;
    settings.m_WelcomeMessage = "Good day";
    settings.m_ActiveMode = false;
    settings.m_LoadControlPanel = 1;
    settings.m_LoadStartMenu = 1;
    settings.m_LoadDesktop = 0;
    settings.m_CharacterMode = 1;
    settings.m_VoiceSpeed = 230;
    settings.m_VoicePitch = 120;
    settings.m_Threshold = 85;
    settings.m_StayOnTop = true;
    storedAutoStart = true;
    startUp();

    EXPECT_EQ(page.txtUserName->text(), "Ada");
    EXPECT_TRUE(page.chkSayTime->isChecked());
    EXPECT_FALSE(page.chkShowBalloon->isChecked());
    EXPECT_TRUE(page.chkAlwaysShow->isChecked());
    EXPECT_FALSE(page.chkFast->isChecked());
    EXPECT_EQ(page.cboPosition->currentText(), "Bottom Right");
    EXPECT_EQ(page.cboSize->currentText(), "Extra Large");
    EXPECT_EQ(page.txtWelcomeMessage->text(), "Good day");
    EXPECT_TRUE(page.chkAutoStart->isChecked());
    EXPECT_TRUE(page.chkLoadSilence->isChecked()) << "not listening now";
    EXPECT_TRUE(page.chkLoadControlPanel->isChecked());
    EXPECT_TRUE(page.chkLoadStartMenu->isChecked());
    EXPECT_FALSE(page.chkDesktopApplications->isChecked());
    EXPECT_EQ(page.cboCharacterMode->currentIndex(), 1);
    EXPECT_EQ(page.sldSpeed->value(), 230);
    EXPECT_EQ(page.sldPitch->value(), 120);
    EXPECT_EQ(page.sldThreshold->value(), 85);
    EXPECT_TRUE(page.chkStayOnTop->isChecked());
    EXPECT_EQ(page.cboWelcomeGesture->currentText(), "Greet");
    EXPECT_EQ(page.cboCharacter->currentText(), "merlin.acs");
}

TEST_F(SettingsPageTest, StartUpAsksForNoDemonstrationWhateverTheSettings)
{
    settings.m_Position = 3;
    settings.m_CharacterSize = 0;
    settings.m_VoiceCharacter = "Whisper";
    settings.m_FontName = "Mono";
    settings.m_FontSize = 20;
    settings.m_CharacterMode = 2;
    settings.m_Threshold = 70;
    settings.m_LoadControlPanel = 1;
    startUp();
    // Only what runs while loading: the balloon applied, the mode and the threshold handed on.
    EXPECT_EQ(log, QStringList({"show balloon 1", "balloon", "balloon", "mode 2", "threshold 70"}));
    EXPECT_EQ(settings.m_CharacterName, "merlin.acs") << "filling the character list changes no character";
}

TEST_F(SettingsPageTest, StoredThresholdIsHandedOnWhateverItsValue)
{
    for (int threshold : {0, 50, 100, 0}) {
        SCOPED_TRACE(threshold);
        log.clear();
        settings.m_Threshold = threshold;
        page.load();
        EXPECT_EQ(log.filter("threshold"), QStringList({QStringLiteral("threshold %1").arg(threshold)}));
    }
}

TEST_F(SettingsPageTest, StoredIndexOutsideAListShowsNoEntryAndStaysAsStored)
{
    settings.m_Position = 12;
    settings.m_CharacterSize = -3;
    settings.m_CharacterMode = 9;
    settings.m_Threshold = 40;
    startUp();
    EXPECT_EQ(page.cboPosition->currentIndex(), -1);
    EXPECT_EQ(page.cboSize->currentIndex(), -1);
    EXPECT_EQ(page.cboCharacterMode->currentIndex(), -1);
    EXPECT_EQ(settings.m_Position, 12);
    EXPECT_EQ(settings.m_CharacterSize, -3);
    EXPECT_EQ(settings.m_CharacterMode, 9);
    EXPECT_FALSE(log.join('|').contains("mode")) << "no mode is applied that the list does not hold";
    EXPECT_TRUE(log.contains("threshold 40")) << "the steps after it still ran";

    pick(page.cboSize, "Small");
    EXPECT_EQ(settings.m_CharacterSize, 1) << "the user can still choose";
}

TEST_F(SettingsPageTest, StoredSliderValuesOutsideTheirRangeAreStoredAsShown)
{
    settings.m_VoiceSpeed = 999;
    settings.m_VoicePitch = 10;
    settings.m_Threshold = -5;
    startUp();
    EXPECT_EQ(settings.m_VoiceSpeed, 250);
    EXPECT_EQ(settings.m_VoicePitch, 50);
    EXPECT_EQ(settings.m_Threshold, 0);
    EXPECT_TRUE(log.contains("threshold 0")) << "the recogniser gets a threshold it accepts";
}

TEST_F(SettingsPageTest, NotListeningAtStartIsNotStoredByFillingThePage)
{
    settings.m_LoadSilence = 1;
    settings.m_ActiveMode = true;   // switched on since, by the listening button
    startUp();
    EXPECT_FALSE(page.chkLoadSilence->isChecked());
    EXPECT_EQ(settings.m_LoadSilence, 1);
    page.chkLoadSilence->click();
    EXPECT_EQ(settings.m_LoadSilence, 1);
    page.chkLoadSilence->click();
    EXPECT_EQ(settings.m_LoadSilence, 0);
}

TEST_F(SettingsPageTest, AutostartBoxIsLeftAsItIsWhenTheEntryCannotBeRead)
{
    page.chkAutoStart->setChecked(true);
    storedAutoStart = std::nullopt;
    startUp();
    EXPECT_TRUE(page.chkAutoStart->isChecked());
    storedAutoStart = false;
    page.load();
    EXPECT_FALSE(page.chkAutoStart->isChecked());

    page.chkAutoStart->click();
    page.save();
    EXPECT_EQ(autoStartWrites, QList<bool>({true}));
}

// --- What the user's changes store and ask for ---------------------------------------

TEST_F(SettingsPageTest, ListChoicesStoreAndAskForTheirDemonstration)
{
    startUp();
    log.clear();
    pick(page.cboPosition, "Top Left");
    pick(page.cboSize, "Large");
    pick(page.cboVoiceCharacter, "Whisper");
    pick(page.cboFontName, "Mono");
    pick(page.cboFontSize, "16");
    pick(page.cboCharacter, "robby.acs");
    pick(page.cboWelcomeGesture, "Read");
    EXPECT_EQ(log, QStringList({"position 3", "size 3", "voice Whisper", "font Mono", "font size 16",
                                "character robby.acs"}));
    EXPECT_EQ(settings.m_Position, 3);
    EXPECT_EQ(settings.m_CharacterSize, 3);
    EXPECT_EQ(settings.m_VoiceCharacter, "Whisper");
    EXPECT_EQ(settings.m_FontName, "Mono");
    EXPECT_EQ(settings.m_FontSize, 16);
    EXPECT_EQ(settings.m_WelcomeGesture, "Read");
}

TEST_F(SettingsPageTest, BoxesStoreWhatTheyShow)
{
    startUp();
    log.clear();
    page.chkAlwaysShow->setChecked(true);
    page.chkAlwaysShow->click();
    EXPECT_TRUE(settings.m_Hide) << "unticked: the character hides after each sentence";
    page.chkAlwaysShow->click();
    EXPECT_FALSE(settings.m_Hide);

    const bool fast = settings.m_Fast;
    page.chkFast->click();
    EXPECT_EQ(settings.m_Fast, !fast);
    page.chkSayTime->click();
    EXPECT_EQ(settings.m_SayTime, page.chkSayTime->isChecked());

    page.chkShowBalloon->click();
    EXPECT_EQ(settings.m_ShowBalloon, page.chkShowBalloon->isChecked());
    page.chkStayOnTop->click();
    EXPECT_TRUE(settings.m_StayOnTop);
    pick(page.cboCharacterMode, "Character is hidden and silent");
    EXPECT_EQ(settings.m_CharacterMode, 2);
    EXPECT_EQ(log, QStringList({QStringLiteral("show balloon %1").arg(settings.m_ShowBalloon), "on top 1", "mode 2"}));
}

TEST_F(SettingsPageTest, StartListSourcesStoreZeroOrOneAndSayTheListIsStale)
{
    startUp();
    log.clear();
    page.chkLoadControlPanel->click();
    page.chkLoadStartMenu->click();
    page.chkDesktopApplications->click();
    EXPECT_EQ(settings.m_LoadControlPanel, 1);
    EXPECT_EQ(settings.m_LoadStartMenu, 1);
    EXPECT_EQ(settings.m_LoadDesktop, 0);
    EXPECT_EQ(log, QStringList({"start list", "start list", "start list"}));
}

TEST_F(SettingsPageTest, TypingStoresEveryEdit)
{
    startUp();
    page.txtUserName->clear();
    QTest::keyClicks(page.txtUserName, "Grace");
    EXPECT_EQ(settings.m_UserName, "Grace");
    QTest::keyClicks(page.txtWelcomeMessage, " Hi");
    EXPECT_EQ(settings.m_WelcomeMessage, " Hi");
}

TEST_F(SettingsPageTest, ButtonsAskForTheirActions)
{
    startUp();
    log.clear();
    page.txtWelcomeMessage->setText("Good to see you");
    for (QPushButton* button : {page.cmdPreviewWelcome, page.cmdHide, page.cmdClipboard, page.cmdVRTraining,
                                page.cmdDownload})
        button->click();
    EXPECT_EQ(log, QStringList({"preview Good to see you / Greet", "hide", "clipboard", "training", "download"}));
}

TEST_F(SettingsPageTest, RestartNoticeIsReadAloud)
{
    page.ShowRestartNotice();
    EXPECT_EQ(messages, QStringList({"1 In order for these settings to take effect you will need to restart Vorlix"}));
}

} // namespace
