#include "app/voice/CVoiceCommand.h"

#include "app/character/CharacterSpeech.h"
#include "app/voice/CommandContext.h"
#include "app/voice/MainWindowActions.h"
#include "app/voice/VoiceLog.h"
#include "platform/desktop/KeySender.h"
#include "platform/desktop/ShellLauncher.h"
#include "platform/desktop/WindowMessenger.h"

void CVoiceCommand::Execute()
{
    CommandContext& context = *m_context;
    // What is opened is started first, so that the character never announces what cannot start.
    if (m_Type == COMMAND_RUN_PROGRAM || m_Type == COMMAND_OPEN_DOCUMENT || m_Type == COMMAND_OPEN_WEB_SITE) {
        // Documents and web sites never take arguments.
        const QString arguments = m_Type == COMMAND_RUN_PROGRAM ? m_CommandLine : QString();
        if (context.launcher.open(m_Cmd, arguments, ShellLauncher::kShowNormal))
            context.speech.SayAndPlay(m_WhatToSay, m_Gesture, true, false);
        else
            context.speech.SayAndPlay(QStringLiteral("I could not start ") + (m_Name.isEmpty() ? m_Voice.trimmed() : m_Name) + QLatin1Char('.'),
                                      QStringLiteral("Decline"), true, false);
        return;
    }
    context.speech.SayAndPlay(m_WhatToSay, m_Gesture, true, false);

    switch (m_Type) {
    case COMMAND_POST_MESSAGE:
        context.messenger.postToForeground(static_cast<uint32_t>(m_MessageID), m_WParam, m_LParam);
        break;
    case COMMAND_PRESS_KEY:
        if (m_MessageID < 0 || m_MessageID > 255) {
            qCWarning(lcVoice) << "Command" << m_Voice << "names key code" << m_MessageID
                               << "outside 0..255; no key pressed";
            break;
        }
        context.keys.keybdEvent(static_cast<uint8_t>(m_MessageID), 0, 0);
        context.keys.keybdEvent(static_cast<uint8_t>(m_MessageID), 0, KeySender::kKeyUp);
        break;
    case COMMAND_PROGRAM_CONTROL:
        if (m_Voice == QLatin1String("Listen"))
            context.mainWindow.Activate(true);
        else if (m_Voice == QLatin1String("Stop Listening"))
            context.mainWindow.Activate(false);
        else if (m_Voice == QLatin1String("Show"))
            context.mainWindow.Launch();
        else if (m_Voice == QLatin1String("Hide"))
            context.mainWindow.hideMainWindow();
        break;
    case COMMAND_SELECT_TAB:
        if (!context.mainWindow.selectTab(m_MessageID))
            qCWarning(lcVoice) << "Command" << m_Voice << "names page" << m_MessageID << "which does not exist";
        break;
    default:
        break;
    }
}
