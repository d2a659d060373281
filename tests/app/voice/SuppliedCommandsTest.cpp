// The VoiceCommands.INI shipped in data/ must load cleanly and use only actions that the
// desktop layer carries out, so every entry works on day one.

#include "VoiceFakes.h"

#include "app/voice/BuiltInCommands.h"
#include "app/voice/CVoiceCommand.h"
#include "platform/desktop/VirtualKeyTable.h"

#include <QDir>

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

class SuppliedCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString dataFolder = qEnvironmentVariable("VORLIX_SOURCE_DIR") + QStringLiteral("/data");
        ASSERT_TRUE(QFile::exists(QDir(dataFolder).filePath(BuiltInCommands::kFileName)));
        problems = commands.LoadVoiceCommands(dataFolder);
    }

    VoiceHarness h;
    BuiltInCommands commands{h.menus, h.context};
    QStringList problems;
};

TEST_F(SuppliedCommandsTest, EveryEntryLoadsSwitchedOnAndUsesAnActionTheDesktopCarriesOut)
{
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_GE(commands.count(), 30);
    const std::set<std::pair<int32_t, int32_t>> messages{
        {16, 0}, {274, 0xF020}, {274, 0xF030}, {274, 0xF120}, {274, 0xF060},
        {768, 0}, {769, 0}, {770, 0}, {771, 0}, {772, 0}, {177, 0}};
    const QStringList gestures{"None", "Greet", "Read", "Announce", "Wave", "Think", "Explain", "Pleased",
                               "Surprised", "Confused", "Congratulate", "Acknowledge", "Decline", "Alert",
                               "GetAttention", "Search", "Process", "Write", "Suggest", "GestureLeft",
                               "GestureRight", "GestureUp", "GestureDown"};
    for (int i = 0; i < commands.count(); ++i) {
        const CVoiceCommand& command = commands.at(i);
        const std::string name = command.m_Voice.toStdString();
        EXPECT_TRUE(command.m_Active && !command.m_Description.isEmpty()) << name;
        EXPECT_TRUE(gestures.contains(command.m_Gesture)) << name;
        switch (command.m_Type) {
        case COMMAND_POST_MESSAGE:
            EXPECT_TRUE(messages.count({command.m_MessageID, command.m_WParam})) << name;
            break;
        case COMMAND_PRESS_KEY:
            ASSERT_TRUE(command.m_MessageID >= 0 && command.m_MessageID <= 255) << name;
            EXPECT_NE(VirtualKeyTable::keysym(static_cast<uint8_t>(command.m_MessageID)), 0u) << name;
            break;
        case COMMAND_RUN_PROGRAM:
        case COMMAND_OPEN_DOCUMENT:
        case COMMAND_OPEN_WEB_SITE:
            EXPECT_FALSE(command.m_Cmd.isEmpty()) << name;
            break;
        default:
            ADD_FAILURE() << name << " has kind " << command.m_Type;
        }
    }
}

TEST_F(SuppliedCommandsTest, NoPhraseTakesOneFromTheProgramOrItsPages)
{
    h.menus.AddSystemCommands(h.context);
    commands.AddTabCommands({" Start", " My Programs", " My Documents", " Commands", " Web Sites", " Macros", " Settings"});
    const int before = h.menus.commandRegistry().count();
    commands.registerActiveCommands();
    EXPECT_EQ(h.menus.commandRegistry().count(), before + commands.count());
}

} // namespace
