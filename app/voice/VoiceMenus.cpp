#include "app/voice/VoiceMenus.h"

#include "app/settings/CSettings.h"
#include "app/shell/AppInfo.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/VoiceLog.h"
#include "platform/vcmd/VoiceCommandControl.h"

VoiceMenus::VoiceMenus(VoiceCommandControl& recogniser, CSettings& settings, QObject* parent)
    : QObject(parent), m_recogniser(recogniser), m_settings(settings)
{
    connect(&m_recogniser, &VoiceCommandControl::phraseRecognized, this, &VoiceMenus::VR1_PhraseRecognized);
}

VoiceMenus::~VoiceMenus() = default;

Result<void> VoiceMenus::CreateVoiceMenu()
{
    m_recogniser.setControlProperty(1, 1);
    const Result<int32_t> menu = m_recogniser.createMenu(QStringLiteral("MainMenu"), QStringLiteral("state1"), 4);
    if (!menu) {
        qCWarning(lcVoice) << "Creating the voice menu failed:" << menu.error().message;
        return Error{menu.error().message + QStringLiteral("\r\nFailed to initialize voice recognition engine. Please E-mail ")
                     + AppInfo::kSupportEmail + QStringLiteral(" and report this error.")};
    }
    m_voiceMenu = menu.value();
    m_recogniser.setControlProperty(19, 1);
    return {};
}

void VoiceMenus::ReleaseVoiceMenu()
{
    m_recogniser.releaseMenu(m_voiceMenu);
}

void VoiceMenus::ActivateMenus()
{
    if (m_settings.m_ActiveMode)
        m_recogniser.activateMenu(m_voiceMenu);
}

void VoiceMenus::DeactivateMenus()
{
    m_recogniser.deactivateMenu(m_voiceMenu);
}

void VoiceMenus::Activate(bool active)
{
    m_settings.m_ActiveMode = active;
    setActivateCaption(active);
}

void VoiceMenus::cmdActivate_Click()
{
    if (m_loading)
        return;
    if (m_settings.m_ActiveMode) {
        Activate(false);
        DeactivateMenus();
    } else {
        Activate(true);
        ActivateMenus();
    }
}

void VoiceMenus::setActivateCaption(bool active)
{
    // Emitted even when unchanged: the button may have been captioned elsewhere at start-up.
    m_activateCaption = active ? QStringLiteral("Stop Listening") : QStringLiteral("Listen");
    emit activateCaptionChanged(m_activateCaption);
}

void VoiceMenus::AddSystemCommands(CommandContext& context)
{
    AddSystemCommand(QStringLiteral("Listen"), QStringLiteral("Listening"), context);
    AddSystemCommand(QStringLiteral("Stop Listening"), QStringLiteral("Not Listening"), context);
    AddSystemCommand(QStringLiteral("Show"), QStringLiteral("Showing"), context);
    AddSystemCommand(QStringLiteral("Hide"), QStringLiteral("Hiding"), context);
}

void VoiceMenus::AddSystemCommand(const QString& phrase, const QString& sentence, CommandContext& context)
{
    auto command = std::make_unique<CVoiceCommand>(context);
    command->m_Voice = phrase;
    command->m_Name = command->m_Voice;
    command->m_WhatToSay = sentence;
    command->m_Type = COMMAND_PROGRAM_CONTROL;
    m_systemCommands.push_back(std::move(command));
    RegisterCommand(*m_systemCommands.back());
}

void VoiceMenus::RegisterCommand(VoiceCommandObject& object)
{
    const QString phrase = object.voice().trimmed();
    if (phrase.isEmpty())
        return;
    if (GetVCCommand(phrase))
        RemovePhrase(phrase, m_voiceMenu);
    AddToVoiceMenu(object, phrase);
}

void VoiceMenus::AddToVoiceMenu(VoiceCommandObject& object, const QString& phrase)
{
    m_recogniser.addEntry(m_voiceMenu, 0, phrase, QString(), object.voice(), 0, phrase);
    m_registry.add(phrase, object, object.voice());
}

void VoiceMenus::RemovePhrase(const QString& phrase, int32_t menu)
{
    m_registry.remove(phrase);
    for (int32_t position = 1; position <= m_recogniser.countEntries(menu); ++position) {
        QString command, description, category, action;
        int32_t flags = 0;
        if (!m_recogniser.getEntry(menu, position, command, description, category, flags, action))
            continue;
        if (command == phrase) {
            m_recogniser.removeEntry(menu, position);
            return;
        }
    }
}

void VoiceMenus::UnregisterCommand(VoiceCommandObject& object)
{
    if (const std::optional<QString> voice = m_registry.takeFirstOf(object))
        RemoveFromVoiceMenu(*voice);
}

// voice: the phrase as stored when the object was registered, the entry's category.
void VoiceMenus::RemoveFromVoiceMenu(const QString& voice)
{
    const int32_t count = m_recogniser.countEntries(m_voiceMenu);
    for (int32_t position = 1; position <= count; ++position) {
        QString command, description, category, action;
        int32_t flags = 0;
        if (!m_recogniser.getEntry(m_voiceMenu, position, command, description, category, flags, action))
            continue;
        if (category == voice) {
            m_recogniser.removeEntry(m_voiceMenu, position);
            return;
        }
    }
}

void VoiceMenus::ShowTraining(QWidget* owner)
{
    m_recogniser.showTraining(owner, AppInfo::kTitle + QStringLiteral(" Training"));
}

void VoiceMenus::sldThreshold_Change(int value)
{
    m_settings.m_Threshold = value;
    m_recogniser.setThreshold(m_settings.m_Threshold);
}

void VoiceMenus::VR1_PhraseRecognized(int32_t, const QString&, int32_t, const QString&, int32_t, const QString&,
                                      const QString& command)
{
    if (!CommandExists(command))
        return;
    if (VoiceCommandObject* object = GetVCCommand(command))
        object->Execute();
}
