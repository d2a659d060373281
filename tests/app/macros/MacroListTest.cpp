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
    QByteArray onDisk(const char* name) const { return IsolatedEnvironment::readFile(file(QString::fromLatin1(name))); }
};

TEST_F(MacroListTest, LoadsOnlyTxtFilesInListingOrder)
{
    writeMacroFile(QStringLiteral("b.txt"), macroFile("Beta", "2"));
    writeMacroFile(QStringLiteral("A.txt"), macroFile("Alpha", "1"));
    writeMacroFile(QStringLiteral("notes.doc"), macroFile("Not a macro", "x"));
    QDir(folder()).mkdir(QStringLiteral("folder.txt"));
    macros.LoadMacros();
    EXPECT_EQ(phrases(), QStringList({"Alpha", "Beta"}));
    EXPECT_EQ(macros.add().m_Voice, QStringLiteral("Macro 3"));   // numbered after the loaded ones
    EXPECT_TRUE(heard(QStringLiteral("beta")));
    EXPECT_EQ(clipboard.text(), QStringLiteral("2"));
}

// Names come from the time of day: two macros made within one name's precision, or a
// file already on disk but never loaded, must not share a file. Nothing is written before the save.
TEST_F(MacroListTest, ANewMacroGetsAUniqueFileWrittenOnlyOnSave)
{
    writeMacroFile(QStringLiteral("43512.35.txt"), macroFile("On disk", "x"));   // not loaded, still taken
    QStringList names;
    for (int ms : {43512340, 43512343, 43512346, 43512340, 500}) {
        clockMs = ms;
        names << macros.add().m_Name.section(u'/', -1);
    }
    EXPECT_EQ(names.last(), QStringLiteral("0.5.txt"));
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 5);
    EXPECT_FALSE(names.contains(QStringLiteral("43512.35.txt")));
    EXPECT_TRUE(heard(QStringLiteral("Macro 1")));
    EXPECT_EQ(fileNames().size(), 1);
    ASSERT_TRUE(macros.SaveMacros());
    EXPECT_EQ(fileNames().size(), 6);
    EXPECT_TRUE(onDisk("43512.35.txt").contains("On disk"));
}

TEST_F(MacroListTest, RemovingDeletesTheFileAtOnceAndTakesThePhraseAway)
{
    writeMacroFile(QStringLiteral("a.txt"), macroFile("Alpha", "1"));
    writeMacroFile(QStringLiteral("b.txt"), macroFile("Beta", "2"));
    macros.LoadMacros();
    macros.remove(0);
    EXPECT_EQ(fileNames(), QStringList({"b.txt"}));
    EXPECT_FALSE(heard(QStringLiteral("Alpha")));
    macros.remove(5);   // out of range: nothing happens
    EXPECT_EQ(phrases(), QStringList({"Beta"}));

    macros.add();       // never saved: leaves no file behind
    macros.remove(1);
    ASSERT_TRUE(macros.SaveMacros());
    EXPECT_EQ(fileNames(), QStringList({"b.txt"}));
}

TEST_F(MacroListTest, AFileNotReadWholeIsListedButNeverOverwrittenAndCanBeRemoved)
{
    const QByteArray broken = "Broken\r\nNone\r\nS\r\n\"cut sh";
    writeMacroFile(QStringLiteral("a.txt"), broken);
    writeMacroFile(QStringLiteral("b.txt"), "");
    writeMacroFile(QStringLiteral("c.txt"), macroFile("Fine", "ok"));
    macros.LoadMacros();

    EXPECT_EQ(phrases(), QStringList({"Broken", "Macro 2", "Fine"}));
    EXPECT_FALSE(macros.isWhole(0) || macros.isWhole(1));
    EXPECT_TRUE(macros.isWhole(2));
    ASSERT_TRUE(macros.SaveMacros());
    EXPECT_EQ(onDisk("a.txt"), broken);
    EXPECT_EQ(onDisk("b.txt"), QByteArray());

    macros.remove(0);
    EXPECT_EQ(fileNames(), QStringList({"b.txt", "c.txt"}));
    EXPECT_FALSE(heard(QStringLiteral("Broken")));
}

TEST_F(MacroListTest, EveryKeystrokeMovesThePhraseAndBlanksKeepTheOldOne)
{
    macros.add();
    for (const char* typed : {"S", "Si", "Sign  "})
        EXPECT_TRUE(macros.changePhrase(0, QString::fromLatin1(typed)));
    EXPECT_FALSE(macros.changePhrase(0, QStringLiteral("   ")));
    EXPECT_FALSE(macros.changePhrase(0, QString()));
    EXPECT_EQ(macros.at(0).m_Voice, QStringLiteral("Sign"));
    EXPECT_TRUE(heard(QStringLiteral("Sign")));
    for (const char* old : {"Macro 1", "S", "Si"})
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

    macros.changePhrase(0, QStringLiteral("Letter"));
    EXPECT_FALSE(heard(QStringLiteral("Notepad")));
    EXPECT_EQ(other.runs, 0);
}

} // namespace
