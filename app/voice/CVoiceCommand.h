#pragma once
// The one command class of every list: a phrase, the sentence and gesture the character
// plays first, and one kind of action. Plain public fields; the owning list fills them.

#include "app/voice/VoiceCommandObject.h"

#include <QString>

#include <cstdint>

struct CommandContext;

enum CommandType : int32_t {
    COMMAND_RUN_PROGRAM = 1,
    COMMAND_POST_MESSAGE = 2,
    COMMAND_PRESS_KEY = 3,
    COMMAND_OPEN_DOCUMENT = 4,
    COMMAND_OPEN_WEB_SITE = 5,
    COMMAND_PROGRAM_CONTROL = 6,
    COMMAND_SELECT_TAB = 7,
};

class CVoiceCommand : public VoiceCommandObject {
public:
    // context must outlive the command.
    explicit CVoiceCommand(CommandContext& context) : m_context(&context) {}

    QString voice() const override { return m_Voice; }

    // Says m_WhatToSay with m_Gesture (hiding the character afterwards), then acts by
    // m_Type. Any other kind only speaks; so do a kind 3 code outside 0..255 and a
    // kind 7 index that names no page (both logged).
    void Execute() override;

    QString m_Name;
    bool m_Active = false;
    QString m_Voice;
    int32_t m_Type = 0;
    int32_t m_MessageID = 0;   // message (kind 2), virtual key (kind 3), page index (kind 7)
    int32_t m_WParam = 0;
    int32_t m_LParam = 0;
    QString m_Cmd;
    QString m_Description;
    QString m_Gesture;
    QString m_WhatToSay;
    QString m_CommandLine;
    QString m_IniSection;

private:
    CommandContext* m_context;
};
