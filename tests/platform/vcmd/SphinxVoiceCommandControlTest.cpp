#include "platform/vcmd/SphinxVoiceCommandControl.h"

#include "SpeechFixtures.h"

#include "tests/support/TestEnvironment.h"

#include <QDialog>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class VoiceMenuTest : public IsolatedTest {
protected:
    VoiceMenuTest() : control(pushedInput()) {}

    int32_t menuWith(std::initializer_list<const char*> phrases)
    {
        const int32_t menu = control.createMenu("MainMenu", "state1", 4).value();
        for (const char* phrase : phrases)
            control.addEntry(menu, 0, phrase, "", QStringLiteral(" %1 ").arg(phrase), 0, phrase);
        return menu;
    }

    SphinxVoiceCommandControl control;
};

TEST_F(VoiceMenuTest, BadPositionsAndHandlesChangeNothing)
{
    const int32_t menu = menuWith({"Calculator"});
    QString command, description, category, action;
    int32_t flags = 0;
    for (int32_t position : {0, 2, INT32_MIN}) {
        EXPECT_FALSE(control.getEntry(menu, position, command, description, category, flags, action));
        control.removeEntry(menu, position);
    }
    EXPECT_EQ(control.countEntries(menu), 1);

    // A menu whose creation failed (0), one never made, and one released: a new menu does
    // not take the released one's handle, so a stale handle cannot reach it.
    control.releaseMenu(menu);
    EXPECT_NE(control.createMenu("B", "state1", 4).value(), menu);
    for (int32_t handle : {0, 999, menu}) {
        control.addEntry(handle, 0, "Show", "", "Show", 0, "Show");
        control.activateMenu(handle);
        control.deactivateMenu(handle);
        control.removeEntry(handle, 1);
        control.releaseMenu(handle);
        EXPECT_EQ(control.countEntries(handle), 0);
        EXPECT_FALSE(control.getEntry(handle, 1, command, description, category, flags, action));
    }
    EXPECT_FALSE(control.injectPhrase("Show"));
}

TEST_F(VoiceMenuTest, EntriesAreReadFromPositionOneAndFireOnlyWhileKeptAndActive)
{
    const int32_t menu = menuWith({"Web Sites", "Macro 4", "Tom & Jerry's", "Hide", "hide"});
    const int32_t other = menuWith({"Listen"});
    QString command, description, category, action;
    int32_t flags = -1;
    ASSERT_TRUE(control.getEntry(menu, 5, command, description, category, flags, action));
    EXPECT_EQ(command, "hide");   // texts differing in case are separate entries
    QSignalSpy spy(&control, &VoiceCommandControl::phraseRecognized);
    EXPECT_FALSE(control.injectPhrase("Web Sites"));
    control.activateMenu(menu);
    control.activateMenu(other);
    EXPECT_TRUE(control.injectPhrase("web sites"));
    EXPECT_TRUE(control.injectPhrase("macro four"));
    EXPECT_TRUE(control.injectPhrase("Tom and Jerry's"));
    EXPECT_FALSE(control.injectPhrase("web"));
    EXPECT_FALSE(control.injectPhrase("   "));
    // Synchronous, with the entry's category and command text as added.
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(0).at(6).toString(), "Web Sites");
    EXPECT_EQ(spy.at(0).at(3).toString(), " Web Sites ");
    EXPECT_EQ(spy.at(1).at(6).toString(), "Macro 4");
    EXPECT_EQ(spy.at(2).at(6).toString(), "Tom & Jerry's");

    control.removeEntry(menu, 1);
    ASSERT_TRUE(control.getEntry(menu, 1, command, description, category, flags, action));
    EXPECT_EQ(command, "Macro 4");
    EXPECT_FALSE(control.injectPhrase("Web Sites"));
    EXPECT_TRUE(control.injectPhrase("Hide"));
    control.releaseMenu(other);
    EXPECT_FALSE(control.injectPhrase("Listen"));
    control.deactivateMenu(menu);
    EXPECT_FALSE(control.injectPhrase("Hide"));
}

// Practice fires nothing: a phrase handed over meanwhile does not run either.
TEST_F(VoiceMenuTest, TrainingOpensOnceAndNothingFiresWhileItIsOpen)
{
    control.activateMenu(menuWith({"Web Sites"}));
    QWidget owner;
    control.showTraining(&owner, "Vorlix Training");
    control.showTraining(&owner, "Vorlix Training");
    const auto dialogs = owner.findChildren<QDialog*>();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_TRUE(control.isTraining());
    EXPECT_FALSE(control.injectPhrase("Web Sites"));
    delete dialogs.first();
    EXPECT_FALSE(control.isTraining());
    EXPECT_TRUE(control.injectPhrase("Web Sites"));
}

} // namespace
