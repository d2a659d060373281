#include "tests/fakes/VoiceFakes.h"

#include "app/voice/CVoiceCommand.h"
#include "app/voice/CommandList.h"

#include <gtest/gtest.h>

namespace {

class CommandListTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(h.menus.CreateVoiceMenu().ok()); }

    CVoiceCommand* add(CommandList& target, const QString& phrase)
    {
        auto command = std::make_unique<CVoiceCommand>(h.context);
        command->m_Name = command->m_Voice = phrase;
        CVoiceCommand* added = target.add(std::move(command));
        if (added)
            target.registerCommand(*added);
        return added;
    }
    QStringList order(const CommandList& from) const
    {
        QStringList phrases;
        for (const auto& command : from)
            phrases << command->m_Name;
        return phrases;
    }

    VoiceHarness h;
    CommandList list{h.menus};
};

TEST_F(CommandListTest, PhrasesAreKeysIgnoringCaseInTheOrderOfAdding)
{
    add(list, "Notes");
    add(list, "Mail");
    EXPECT_EQ(add(list, "NOTES"), nullptr);   // refused, the first stays
    EXPECT_EQ(order(list), QStringList({"Notes", "Mail"}));
    EXPECT_EQ(list.find("mAIL"), &list.at(1));
    EXPECT_EQ(list.indexOf(*list.find("mail")), 1);
    EXPECT_EQ(h.menuTexts(), QStringList({"Notes", "Mail"}));
}

TEST_F(CommandListTest, RenameMovesToTheEndAndReRegistersThatVeryObject)
{
    CVoiceCommand* notes = add(list, "Notes");
    add(list, "Mail");
    ASSERT_TRUE(list.rename(*notes, "Diary"));
    EXPECT_EQ(order(list), QStringList({"Mail", "Diary"}));
    EXPECT_EQ(h.menus.GetVCCommand("Diary"), notes);
    EXPECT_FALSE(h.menus.CommandExists("Notes"));

    ASSERT_TRUE(list.rename(*notes, "diary"));   // a change of case alone is a change too
    EXPECT_EQ(order(list), QStringList({"Mail", "diary"}));
    list.rename(list.at(0), "Mail");             // the same phrase keeps the place
    EXPECT_EQ(order(list), QStringList({"Mail", "diary"}));
    EXPECT_FALSE(list.rename(list.at(0), "DIARY"));   // another entry's phrase
    EXPECT_EQ(h.menuTexts(), QStringList({"diary", "Mail"}));
}

} // namespace
