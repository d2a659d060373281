#include "VoiceFakes.h"

#include "app/voice/CVoiceCommand.h"

#include <gtest/gtest.h>

namespace {

struct KindCase {
    const char* name;
    int32_t type;
    const char* voice;
    int32_t messageId;
    const char* commandLine;
    QStringList actions;   // what follows the speech
};

class CVoiceCommandKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(CVoiceCommandKindTest, SpeaksFirstThenActsByKind)
{
    const KindCase& c = GetParam();
    VoiceHarness h;
    CVoiceCommand command(h.context);
    command.m_Voice = QString::fromUtf8(c.voice);
    command.m_Type = c.type;
    command.m_MessageID = c.messageId;
    command.m_WParam = 61472;
    command.m_LParam = -3;
    command.m_Cmd = QStringLiteral("target");
    command.m_CommandLine = QString::fromUtf8(c.commandLine);
    command.m_WhatToSay = QStringLiteral("Done");
    command.m_Gesture = QStringLiteral("Wave");

    command.Execute();
    EXPECT_EQ(h.log, QStringList{"say Done|Wave|1|0"} + c.actions);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CVoiceCommandKindTest, testing::Values(
    KindCase{"RunWithArguments", 1, "Edit", 0, "notes.txt", {"open target|notes.txt|1"}},
    KindCase{"RunWithoutArguments", 1, "Edit", 0, "", {"open target||1"}},
    KindCase{"PostToForeground", 2, "Minimise", 274, "", {"post 274 61472 -3"}},
    KindCase{"PressAndReleaseKey", 3, "Page Down", 34, "", {"key 34 0 0", "key 34 0 2"}},
    KindCase{"KeyCodeAbove255PressesNothing", 3, "Odd", 256, "", {}},
    KindCase{"NegativeKeyCodePressesNothing", 3, "Odd", -1, "", {}},
    KindCase{"DocumentNeverTakesArguments", 4, "Letter", 0, "ignored", {"open target||1"}},
    KindCase{"WebSiteNeverTakesArguments", 5, "News", 0, "ignored", {"open target||1"}},
    KindCase{"Listen", 6, "Listen", 0, "", {"activate 1"}},
    KindCase{"StopListening", 6, "Stop Listening", 0, "", {"activate 0"}},
    KindCase{"Show", 6, "Show", 0, "", {"launch"}},
    KindCase{"Hide", 6, "Hide", 0, "", {"hide"}},
    KindCase{"ProgramControlComparesExactly", 6, "hide", 0, "", {}},
    KindCase{"OtherProgramControlOnlySpeaks", 6, "Dance", 0, "", {}},
    KindCase{"SelectTab", 7, "Web Sites", 4, "", {"tab 4"}},
    KindCase{"TabThatDoesNotExistOnlySpeaks", 7, "Nowhere", 7, "", {}},
    KindCase{"KindZeroOnlySpeaks", 0, "Zero", 16, "", {}},
    KindCase{"KindEightOnlySpeaks", 8, "Eight", 16, "", {}}),
    [](const testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

} // namespace
