#include "app/voice/VoiceMenus.h"

#include "app/settings/CSettings.h"
#include "app/shell/AppInfo.h"
#include "app/voice/CVoiceCommand.h"
#include "app/voice/RemoteSay.h"
#include "app/voice/VoiceLog.h"
#include "platform/vcmd/VoiceCommandControl.h"

namespace {
const QString kListen = QStringLiteral("Listen");
}

VoiceMenus::VoiceMenus(VoiceCommandControl& recogniser, CSettings& settings, QObject* parent)
    : QObject(parent), m_recogniser(recogniser), m_settings(settings)
{
    connect(&m_recogniser, &VoiceCommandControl::phraseRecognized, this, &VoiceMenus::VR1_PhraseRecognized);
    connect(&m_recogniser, &VoiceCommandControl::audioProblemChanged, this, &VoiceMenus::listeningStateChanged);
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
    if (const Result<int32_t> listen = m_recogniser.createMenu(QStringLiteral("ListenMenu"), QStringLiteral("state1"), 4)) {
        m_listenMenu = listen.value();
        m_recogniser.addEntry(m_listenMenu, 0, kListen, QString(), kListen, 0, kListen);
    }
    return {};
}

void VoiceMenus::ReleaseVoiceMenu()
{
    m_recogniser.releaseMenu(m_voiceMenu);
    m_recogniser.releaseMenu(m_listenMenu);
}

void VoiceMenus::ActivateMenus()
{
    m_suspended = false;
    applyListening();
}

void VoiceMenus::DeactivateMenus()
{
    m_suspended = true;
    applyListening();
}

void VoiceMenus::Activate(bool active)
{
    m_settings.m_ActiveMode = active;
    setActivateCaption(active);
    applyListening();
    emit listeningStateChanged();
}

void VoiceMenus::applyListening()
{
    const bool all = !m_suspended && m_settings.m_ActiveMode;
    const bool listenOnly = !m_suspended && !m_settings.m_ActiveMode;
    // Deactivating first: one menu is never heard in place of the other.
    if (!all)
        m_recogniser.deactivateMenu(m_voiceMenu);
    if (!listenOnly)
        m_recogniser.deactivateMenu(m_listenMenu);
    if (all)
        m_recogniser.activateMenu(m_voiceMenu);
    if (listenOnly)
        m_recogniser.activateMenu(m_listenMenu);
}

void VoiceMenus::cmdActivate_Click()
{
    if (!m_loading)
        Activate(!m_settings.m_ActiveMode);
}

void VoiceMenus::setActivateCaption(bool active)
{
    // Emitted even when unchanged: the button may have been captioned elsewhere at start-up.
    m_activateCaption = active ? QStringLiteral("Stop Listening") : QStringLiteral("Listen");
    emit activateCaptionChanged(m_activateCaption);
}

void VoiceMenus::AddSystemCommands(CommandContext& context)
{
    AddSystemCommand(kListen, QStringLiteral("Listening"), context);
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

QString VoiceMenus::listeningStatus() const
{
    if (!m_settings.m_ActiveMode)
        return QStringLiteral("no");
    return m_recogniser.audioProblem().isEmpty() ? QStringLiteral("yes") : QStringLiteral("no microphone");
}

bool VoiceMenus::isHearing() const
{
    return !m_suspended && !m_recogniser.isTraining();
}

QString VoiceMenus::sayPhrase(const QString& phrase)
{
    if (!isHearing())
        return RemoteSay::notListening();
    m_ran.clear();
    m_recogniser.injectPhrase(phrase);
    if (!m_ran.isEmpty())
        return RemoteSay::ran(m_ran);
    return m_settings.m_ActiveMode ? RemoteSay::noCommand(phrase) : RemoteSay::notListening();
}

void VoiceMenus::VR1_PhraseRecognized(int32_t, const QString&, int32_t, const QString&, int32_t, const QString&,
                                      const QString& command)
{
    VoiceCommandObject* object = GetVCCommand(command);
    if (!m_settings.m_ActiveMode) {
        // Only "Listen" wakes the program, and always as the program-control command,
        // whatever list took its phrase since.
        object = nullptr;
        if (command.compare(kListen, Qt::CaseInsensitive) == 0 && !m_systemCommands.empty())
            object = m_systemCommands.front().get();
    }
    if (!object)
        return;
    m_ran = command;
    object->Execute();
}
