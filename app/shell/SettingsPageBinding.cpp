#include "app/shell/SettingsPageBinding.h"

#include "app/character/CharacterController.h"
#include "app/help/HelpAndMessages.h"
#include "app/settings/SettingsPage.h"
#include "app/voice/VoiceMenus.h"

void bindSettingsPage(SettingsPage& page, const SettingsPageTargets& targets)
{
    CharacterController& character = targets.character;
    VoiceMenus& voice = targets.voice;
    HelpAndMessages& help = targets.help;

    QObject::connect(&page, &SettingsPage::characterPicked, &page,
                     [&character](const QString& fileName) { character.changeCharacter(fileName); });
    QObject::connect(&page, &SettingsPage::positionPicked, &page,
                     [&character](int index) { character.changePosition(index); });
    QObject::connect(&page, &SettingsPage::sizePicked, &page, [&character](int index) { character.changeSize(index); });
    QObject::connect(&page, &SettingsPage::voicePicked, &page,
                     [&character](const QString& voiceType) { character.changeVoiceCharacter(voiceType); });
    QObject::connect(&page, &SettingsPage::fontNamePicked, &page,
                     [&character](const QString& family) { character.changeFontName(family); });
    QObject::connect(&page, &SettingsPage::fontSizePicked, &page,
                     [&character](int points) { character.changeFontSize(points); });
    QObject::connect(&page, &SettingsPage::balloonChanged, &page, [&character] { character.SetBalloon(); });
    QObject::connect(&page, &SettingsPage::showBalloonChanged, &page,
                     [&character](bool show) { character.changeShowBalloon(show); });
    QObject::connect(&page, &SettingsPage::characterModePicked, &page,
                     [&character](int mode) { character.changeCharacterMode(mode); });
    QObject::connect(&page, &SettingsPage::previewWelcomeClicked, &page,
                     [&character](const QString& message, const QString& gesture) {
                         character.previewWelcome(message, gesture);
                     });
    QObject::connect(&page, &SettingsPage::hideClicked, &page, [&character] { character.StopAgent(); });
    QObject::connect(&page, &SettingsPage::clipboardClicked, &page, [&character] { character.ReadClipboard(); });

    QObject::connect(&page, &SettingsPage::thresholdChanged, &voice, &VoiceMenus::sldThreshold_Change);
    QObject::connect(&page, &SettingsPage::trainingClicked, &page,
                     [&voice, owner = targets.trainingOwner] { voice.ShowTraining(owner); });
    QObject::connect(&page, &SettingsPage::downloadClicked, &page, [&help] { help.openDownloadPage(); });
    QObject::connect(&page, &SettingsPage::stayOnTopChanged, &page, targets.applyStayOnTop);
}
