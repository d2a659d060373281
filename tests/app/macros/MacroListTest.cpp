#include "tests/app/macros/MacroTestSupport.h"

#include <QFile>

namespace {

QByteArray macroFile(const char* phrase, const char* text)
{
    return QByteArray(phrase) + "\r\nNone\r\n\r\n\"" + text + "\"\r\n";
}

class MacroListTest : public MacroTest {
protected:
    QStringList phrases() const
    {
        QStringList list;
        for (int i = 0; i < macros.count(); ++i)
            list << macros.at(i).m_Voice;
        return list;
    }
    bool heard(const QString& phrase)
    {
        voice.log.clear();
        voice.recogniser.injectPhrase(phrase);
        return !voice.log.isEmpty();
    }
};

TEST_F(MacroListTest, LoadsInListingOrderAndCountsLoadedMacros)
{
    writeMacroFile(QStringLiteral("b.txt"), macroFile("Beta", "2"));
    writeMacroFile(QStringLiteral("A.txt"), macroFile("Alpha", "1"));
    writeMacroFile(QStringLiteral("c.txt"), macroFile("Gamma", "3"));
    writeMacroFile(QStringLiteral("notes.doc"), macroFile("Not a macro", "x"));
    QDir(folder()).mkdir(QStringLiteral("folder.txt"));
    macros.LoadMacros();

    EXPECT_EQ(phrases(), QStringList({"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(macros.at(0).m_Name, file(QStringLiteral("A.txt")));
    EXPECT_EQ(macros.MacroCounter(), 3);
    EXPECT_EQ(macros.add().m_Voice, QStringLiteral("Macro 4"));
    EXPECT_TRUE(heard(QStringLiteral("beta")));
    EXPECT_EQ(clipboard.text(), QStringLiteral("2"));
}

TEST_F(MacroListTest, AMissingFolderGivesNoMacros)
{
    MacroList none(voice.menus, context, env.path(QStringLiteral("nowhere")));
    none.LoadMacros();
    EXPECT_EQ(none.count(), 0);
    EXPECT_EQ(none.MacroCounter(), 0);
}

TEST_F(MacroListTest, ANewMacroIsNamedAfterTheTimeOfDayAndWritesNothingYet)
{
    const CMacro& first = macros.add();
    EXPECT_EQ(first.m_Voice, QStringLiteral("Macro 1"));
    EXPECT_EQ(first.m_Name, file(QStringLiteral("43512.34.txt")));
    EXPECT_TRUE(first.m_Text.isEmpty());
    EXPECT_TRUE(first.m_Gesture.isEmpty());
    EXPECT_TRUE(fileNames().isEmpty());
    EXPECT_TRUE(heard(QStringLiteral("Macro 1")));
}

struct NameCase {
    int ms;
    const char* name;
};

class FileNameTest : public MacroListTest, public testing::WithParamInterface<NameCase> {};

TEST_P(FileNameTest, SecondsSinceMidnightWithSevenSignificantDigits)
{
    clockMs = GetParam().ms;
    EXPECT_EQ(macros.add().m_Name, file(QString::fromLatin1(GetParam().name)));
}

INSTANTIATE_TEST_SUITE_P(Times, FileNameTest, testing::Values(
    NameCase{43512340, "43512.34.txt"}, NameCase{43512300, "43512.3.txt"}, NameCase{43512000, "43512.txt"},
    NameCase{0, "0.txt"}, NameCase{9512345, "9512.345.txt"}, NameCase{86399990, "86399.99.txt"},
    NameCase{500, "0.5.txt"}));

TEST_F(MacroListTest, TheFileNameUsesTheUsersDecimalSeparator)
{
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(macros.add().m_Name, file(QStringLiteral("43512,34.txt")));
    QLocale::setDefault(QLocale::c());
}

TEST_F(MacroListTest, MacrosAddedWithinOneHundredthGetDistinctFiles)
{
    writeMacroFile(QStringLiteral("43512.35.txt"), macroFile("On disk", "x"));   // not loaded, still taken
    QStringList names;
    for (int ms : {43512340, 43512343, 43512346, 43512340}) {
        clockMs = ms;
        names << macros.add().m_Name;
    }
    EXPECT_EQ(names.first(), file(QStringLiteral("43512.34.txt")));
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 4);
    EXPECT_FALSE(names.contains(file(QStringLiteral("43512.35.txt"))));
    ASSERT_TRUE(macros.SaveMacros());
    EXPECT_EQ(fileNames().size(), 5);
}

TEST_F(MacroListTest, SaveMacrosWritesEveryMacroAndLoadingGivesThemBack)
{
    CMacro& first = macros.add();
    first.m_Text = QStringLiteral("Dear Ada,\nGrüße — 你好 \"quoted\"");
    first.m_Gesture = QStringLiteral("Wave");
    clockMs += 1000;
    macros.add().m_WhatToSay = QStringLiteral("Second");
    ASSERT_TRUE(macros.SaveMacros());
    EXPECT_EQ(fileNames(), QStringList({"43512.34.txt", "43513.34.txt"}));

    VoiceHarness other;
    MacroContext otherContext{other.desktop, clipboard, other.desktop};
    MacroList reloaded(other.menus, otherContext, folder());
    reloaded.LoadMacros();
    ASSERT_EQ(reloaded.count(), 2);
    EXPECT_EQ(reloaded.at(0).m_Text, first.m_Text);
    EXPECT_EQ(reloaded.at(0).m_Gesture, QStringLiteral("Wave"));
    EXPECT_EQ(reloaded.at(1).m_WhatToSay, QStringLiteral("Second"));
}

TEST_F(MacroListTest, AMacroRemovedBeforeAnySaveLeavesNoFile)
{
    macros.add();
    macros.remove(0);
    ASSERT_TRUE(macros.SaveMacros());
    EXPECT_TRUE(fileNames().isEmpty());
    EXPECT_FALSE(heard(QStringLiteral("Macro 1")));
}

TEST_F(MacroListTest, RemovingDeletesTheFileAtOnceAndTakesThePhraseAway)
{
    writeMacroFile(QStringLiteral("a.txt"), macroFile("Alpha", "1"));
    writeMacroFile(QStringLiteral("b.txt"), macroFile("Beta", "2"));
    macros.LoadMacros();
    macros.remove(0);
    EXPECT_EQ(fileNames(), QStringList({"b.txt"}));
    EXPECT_EQ(phrases(), QStringList({"Beta"}));
    EXPECT_FALSE(heard(QStringLiteral("Alpha")));
    macros.remove(5);   // out of range: nothing happens
    EXPECT_EQ(macros.count(), 1);
}

TEST_F(MacroListTest, AnEditedMacroKeepsItsOldFileUntilSaved)
{
    writeMacroFile(QStringLiteral("a.txt"), macroFile("Alpha", "old"));
    macros.LoadMacros();
    macros.at(0).m_Text = QStringLiteral("new");
    EXPECT_EQ(IsolatedEnvironment::readFile(file(QStringLiteral("a.txt"))), macroFile("Alpha", "old"));
    ASSERT_TRUE(macros.SaveMacros());
    EXPECT_EQ(IsolatedEnvironment::readFile(file(QStringLiteral("a.txt"))), macroFile("Alpha", "new"));
}

TEST_F(MacroListTest, AFileNotReadWholeIsListedButNeverOverwrittenAndCanBeRemoved)
{
    const QByteArray broken = "Broken\r\nNone\r\nS\r\n\"cut sh";
    writeMacroFile(QStringLiteral("a.txt"), broken);
    writeMacroFile(QStringLiteral("b.txt"), "");
    writeMacroFile(QStringLiteral("c.txt"), macroFile("Fine", "ok"));
    macros.LoadMacros();

    EXPECT_EQ(phrases(), QStringList({"Broken", "Macro 2", "Fine"}));
    EXPECT_FALSE(macros.isWhole(0));
    EXPECT_FALSE(macros.isWhole(1));
    EXPECT_TRUE(macros.isWhole(2));
    EXPECT_TRUE(heard(QStringLiteral("Broken")));
    ASSERT_TRUE(macros.SaveMacros());
    EXPECT_EQ(IsolatedEnvironment::readFile(file(QStringLiteral("a.txt"))), broken);
    EXPECT_EQ(IsolatedEnvironment::readFile(file(QStringLiteral("b.txt"))), QByteArray());

    macros.remove(0);
    EXPECT_EQ(fileNames(), QStringList({"b.txt", "c.txt"}));
    EXPECT_FALSE(heard(QStringLiteral("Broken")));
}

TEST_F(MacroListTest, EveryKeystrokeMovesThePhraseAndBlanksKeepTheOldOne)
{
    macros.add();
    for (const char* typed : {"S", "Si", "Sig", "Sign  "})
        EXPECT_TRUE(macros.changePhrase(0, QString::fromLatin1(typed)));
    EXPECT_EQ(macros.at(0).m_Voice, QStringLiteral("Sign"));
    EXPECT_FALSE(macros.changePhrase(0, QStringLiteral("   ")));
    EXPECT_FALSE(macros.changePhrase(0, QString()));
    EXPECT_EQ(macros.at(0).m_Voice, QStringLiteral("Sign"));
    EXPECT_TRUE(heard(QStringLiteral("Sign")));
    for (const char* old : {"Macro 1", "S", "Si", "Sig"})
        EXPECT_FALSE(heard(QString::fromLatin1(old))) << old;
}

TEST_F(MacroListTest, APhraseAnotherCommandHoldsIsTakenAndNotGivenBack)
{
    struct Other : VoiceCommandObject {
        QString voice() const override { return QStringLiteral("Notepad"); }
        void Execute() override { ++runs; }
        int runs = 0;
    } other;
    voice.menus.RegisterCommand(other);
    macros.add().m_Text = QStringLiteral("pasted");
    macros.changePhrase(0, QStringLiteral("notepad"));
    EXPECT_TRUE(heard(QStringLiteral("Notepad")));
    EXPECT_EQ(clipboard.text(), QStringLiteral("pasted"));
    EXPECT_EQ(other.runs, 0);

    macros.changePhrase(0, QStringLiteral("Letter"));
    EXPECT_FALSE(heard(QStringLiteral("Notepad")));
    EXPECT_EQ(other.runs, 0);
}

} // namespace
