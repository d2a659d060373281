#include "platform/vcmd/SphinxVoiceCommandControl.h"

#include "tests/support/TestEnvironment.h"

#include <QDialog>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class VoiceMenuTest : public IsolatedTest {
protected:
    VoiceMenuTest() : control(pushed()) {}

    static AudioInputSettings pushed()
    {
        AudioInputSettings input;
        input.usePushedAudio = true;
        return input;
    }

    int32_t menuWith(std::initializer_list<const char*> phrases)
    {
        const int32_t menu = control.createMenu("MainMenu", "state1", 4).value();
        for (const char* phrase : phrases)
            control.addEntry(menu, 0, phrase, "", QStringLiteral(" %1 ").arg(phrase), 0, phrase);
        return menu;
    }

    SphinxVoiceCommandControl control;
};

TEST_F(VoiceMenuTest, EntriesAreKeptInOrderAndReadFromPositionOne)
{
    const int32_t menu = menuWith({"Calculator", "Hide", "hide"});
    ASSERT_EQ(control.countEntries(menu), 3);
    QString command, description, category, action;
    int32_t flags = -1;
    ASSERT_TRUE(control.getEntry(menu, 1, command, description, category, flags, action));
    EXPECT_EQ(command, "Calculator");
    EXPECT_EQ(category, " Calculator ");
    EXPECT_EQ(action, "Calculator");
    EXPECT_EQ(flags, 0);
    ASSERT_TRUE(control.getEntry(menu, 3, command, description, category, flags, action));
    EXPECT_EQ(command, "hide");   // texts differing in case are separate entries

    control.removeEntry(menu, 2);
    ASSERT_EQ(control.countEntries(menu), 2);
    ASSERT_TRUE(control.getEntry(menu, 2, command, description, category, flags, action));
    EXPECT_EQ(command, "hide");
}

TEST_F(VoiceMenuTest, BadPositionsAndHandlesChangeNothing)
{
    const int32_t menu = menuWith({"Calculator"});
    QString command = "untouched", description, category, action;
    int32_t flags = 7;
    for (int32_t position : {0, -1, 2, INT32_MAX, INT32_MIN}) {
        EXPECT_FALSE(control.getEntry(menu, position, command, description, category, flags, action));
        control.removeEntry(menu, position);
    }
    EXPECT_EQ(command, "untouched");
    EXPECT_EQ(flags, 7);
    EXPECT_EQ(control.countEntries(menu), 1);

    // A menu whose creation failed (0), one never made, and one released.
    control.releaseMenu(menu);
    for (int32_t handle : {0, 999, menu}) {
        control.setControlProperty(1, 1);
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

TEST_F(VoiceMenuTest, HandlesAreNeverReused)
{
    const int32_t first = control.createMenu("A", "state1", 4).value();
    control.releaseMenu(first);
    const int32_t second = control.createMenu("B", "state1", 4).value();
    EXPECT_NE(first, 0);
    EXPECT_NE(second, first);
}

TEST_F(VoiceMenuTest, APhraseFiresOnlyWhileItsMenuIsActive)
{
    const int32_t menu = menuWith({"Web Sites", "Macro 4", "Tom & Jerry's"});
    QSignalSpy spy(&control, &VoiceCommandControl::phraseRecognized);
    EXPECT_FALSE(control.injectPhrase("Web Sites"));
    control.activateMenu(menu);
    EXPECT_TRUE(control.injectPhrase("web sites"));
    EXPECT_TRUE(control.injectPhrase("macro four"));
    EXPECT_TRUE(control.injectPhrase("Tom and Jerry's"));
    EXPECT_FALSE(control.injectPhrase("web"));
    EXPECT_FALSE(control.injectPhrase("   "));
    control.deactivateMenu(menu);
    EXPECT_FALSE(control.injectPhrase("Web Sites"));

    // Synchronous, seven values, the seventh the entry's command text as added.
    ASSERT_EQ(spy.count(), 3);
    EXPECT_EQ(spy.at(0).size(), 7);
    EXPECT_EQ(spy.at(0).at(6).toString(), "Web Sites");
    EXPECT_EQ(spy.at(0).at(3).toString(), " Web Sites ");
    EXPECT_EQ(spy.at(1).at(6).toString(), "Macro 4");
    EXPECT_EQ(spy.at(2).at(6).toString(), "Tom & Jerry's");
}

TEST_F(VoiceMenuTest, RemovedAndReleasedEntriesNoLongerFire)
{
    const int32_t menu = menuWith({"Show", "Hide"});
    const int32_t other = menuWith({"Listen"});
    control.activateMenu(menu);
    control.activateMenu(other);
    control.removeEntry(menu, 1);
    EXPECT_FALSE(control.injectPhrase("Show"));
    EXPECT_TRUE(control.injectPhrase("Hide"));
    control.releaseMenu(other);
    EXPECT_FALSE(control.injectPhrase("Listen"));
}

TEST_F(VoiceMenuTest, TrainingDialogOpensOnceWithTheCallersTitle)
{
    QWidget owner;
    control.showTraining(&owner, "Vorlix Training");
    control.showTraining(&owner, "Vorlix Training");
    const auto dialogs = owner.findChildren<QDialog*>();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs.first()->windowTitle(), "Vorlix Training");
    dialogs.first()->close();
}

// Practice fires nothing: a phrase handed over meanwhile does not run either.
TEST_F(VoiceMenuTest, NothingHandedOverFiresWhileTrainingIsOpen)
{
    const int32_t menu = control.createMenu("MainMenu", "state1", 4).value();
    control.addEntry(menu, 0, "Web Sites", "", "Web Sites", 0, "Web Sites");
    control.activateMenu(menu);
    QWidget owner;
    control.showTraining(&owner, "Vorlix Training");
    EXPECT_TRUE(control.isTraining());
    EXPECT_FALSE(control.injectPhrase("Web Sites"));
    delete owner.findChild<QDialog*>();
    EXPECT_FALSE(control.isTraining());
    EXPECT_TRUE(control.injectPhrase("Web Sites"));
}

} // namespace
