#include "app/settings/SettingsPage.h"

#include "app/settings/CSettings.h"
#include "tests/support/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QVariant>

#include <optional>

namespace {

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
                                              [](const QString&, bool) {}, QStringLiteral("Vorlix")})
    {
        // Every request of the page that the main window acts on, as one line, in order.
        record(&SettingsPage::characterPicked, "character");
        record(&SettingsPage::positionPicked, "position");
        record(&SettingsPage::sizePicked, "size");
        record(&SettingsPage::voicePicked, "voice");
        record(&SettingsPage::fontNamePicked, "font");
        record(&SettingsPage::fontSizePicked, "font size");
        record(&SettingsPage::balloonChanged, "balloon");
        record(&SettingsPage::showBalloonChanged, "show balloon");
        record(&SettingsPage::characterModePicked, "mode");
        record(&SettingsPage::stayOnTopChanged, "on top");
        record(&SettingsPage::thresholdChanged, "threshold");
        record(&SettingsPage::startListSourceChanged, "start list");
    }

    template <typename... Args>
    void record(void (SettingsPage::*signal)(Args...), const QString& name)
    {
        QObject::connect(&page, signal, [this, name](Args... args) {
            QStringList parts{name};
            (void)(parts << ... << QVariant::fromValue(args).toString());
            log << parts.join(' ');
        });
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
    QStringList log;
    SettingsPage page;
};

// --- Filling the page at start-up ---------------------------------------------------

TEST_F(SettingsPageTest, StoredFontOrItsFallback)
{
    const std::tuple<QStringList, QString, QString> cases[] = {
        {fonts(30), "Font 20", "Font 20"},
        // Listed by the system, but not among the first 21 the list holds.
        {fonts(30) << "MS Sans Serif", "Font 25", "Font 0"},
        {QStringList{"Mono", "MS Sans Serif"} + fonts(30), "Font 25", "MS Sans Serif"},
        {{"Mono", "Serif"}, "serif", "Serif"},
    };
    for (const auto& [systemFonts, stored, shown] : cases) {
        SCOPED_TRACE(stored.toStdString());
        settings.m_FontName = stored;
        startUp(systemFonts);
        EXPECT_EQ(page.cboFontName->currentText(), shown);
        EXPECT_EQ(settings.m_FontName, shown) << "the font shown is the font used";
    }
}

TEST_F(SettingsPageTest, StartUpShowsTheSettingsButAsksForNoDemonstration)
{
    settings.m_Position = 6;
    settings.m_CharacterSize = 0;
    settings.m_VoiceCharacter = "Whisper";
    settings.m_FontName = "Mono";
    settings.m_FontSize = 20;
    settings.m_CharacterMode = 2;
    settings.m_Threshold = 70;
    settings.m_LoadDesktop = 0;
    startUp();
    EXPECT_EQ(page.cboPosition->currentText(), "Bottom Right");
    EXPECT_EQ(page.cboCharacterMode->currentIndex(), 2);
    EXPECT_EQ(page.cboWelcomeGesture->currentText(), "Greet");
    EXPECT_FALSE(page.chkDesktopApplications->isChecked());
    // Only what runs while loading: the balloon applied, the mode and the threshold handed on.
    EXPECT_EQ(log, QStringList({"show balloon true", "balloon", "balloon", "mode 2", "threshold 70"}));
    EXPECT_EQ(settings.m_CharacterName, "merlin.acs") << "filling the character list changes no character";

    // Also when the slider already stands on the value, as it does on a second load.
    log.clear();
    page.load();
    EXPECT_EQ(log.filter("threshold"), QStringList({"threshold 70"}));
}

// A list index outside its list stays as stored; a slider value, a font size or a voice
// not offered is stored as shown.
TEST_F(SettingsPageTest, StoredValuesOutOfRange)
{
    settings.m_FontSize = 11;
    settings.m_VoiceCharacter = "monotone";   // the voice type is matched as written
    settings.m_Position = 12;
    settings.m_CharacterSize = -3;
    settings.m_CharacterMode = 9;
    settings.m_VoiceSpeed = 999;
    settings.m_VoicePitch = 10;
    settings.m_Threshold = -5;
    startUp();
    EXPECT_EQ(page.cboPosition->currentIndex(), -1);
    EXPECT_EQ(page.cboSize->currentIndex(), -1);
    EXPECT_EQ(page.cboCharacterMode->currentIndex(), -1);
    EXPECT_EQ(settings.m_Position, 12);
    EXPECT_EQ(settings.m_CharacterSize, -3);
    EXPECT_EQ(settings.m_CharacterMode, 9);
    EXPECT_FALSE(log.join('|').contains("mode")) << "no mode is applied that the list does not hold";
    EXPECT_EQ(settings.m_VoiceSpeed, 250);
    EXPECT_EQ(settings.m_VoicePitch, 50);
    EXPECT_EQ(settings.m_Threshold, 0);
    EXPECT_TRUE(log.contains("threshold 0")) << "the recogniser gets a threshold it accepts";
    EXPECT_EQ(settings.m_FontSize, page.cboFontSize->currentText().toInt());
    EXPECT_EQ(settings.m_VoiceCharacter, page.cboVoiceCharacter->currentText());
    EXPECT_EQ(settings.m_VoiceCharacter, "Normal");

    pick(page.cboSize, "Small");
    EXPECT_EQ(settings.m_CharacterSize, 1) << "the user can still choose";
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

// Size, voice and font size are also changed end to end through the keyboard.
TEST_F(SettingsPageTest, ChoicesStoreAndAskForTheirDemonstration)
{
    startUp();
    log.clear();
    pick(page.cboPosition, "Top Left");
    pick(page.cboSize, "Large");
    pick(page.cboFontName, "Mono");
    pick(page.cboCharacter, "robby.acs");
    pick(page.cboWelcomeGesture, "Read");
    pick(page.cboCharacterMode, "Character is hidden and silent");
    page.chkLoadControlPanel->click();
    page.chkDesktopApplications->click();
    EXPECT_EQ(log, QStringList({"position 3", "size 3", "font Mono", "character robby.acs", "mode 2", "start list",
                                "start list"}));
    EXPECT_EQ(settings.m_Position, 3);
    EXPECT_EQ(settings.m_CharacterSize, 3);
    EXPECT_EQ(settings.m_FontName, "Mono");
    EXPECT_EQ(settings.m_WelcomeGesture, "Read");
    EXPECT_EQ(settings.m_CharacterMode, 2);
    EXPECT_EQ(settings.m_LoadControlPanel, 1);
    EXPECT_EQ(settings.m_LoadDesktop, 0);
}

} // namespace
