#include "tests/app/macros/MacroTestSupport.h"

#include <QFile>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

ino_t inode(const QString& file)
{
    struct stat info {};
    return ::stat(QFile::encodeName(file).constData(), &info) == 0 ? info.st_ino : 0;
}

struct ReadCase {
    const char* name;
    QByteArray file;
    bool whole;
    QString voice, gesture, say, text;
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.name;
}

class MacroReadTest : public MacroTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(MacroReadTest, ReadsTheFourPartsAsWritten)
{
    const ReadCase& c = GetParam();
    writeMacroFile(QStringLiteral("m.txt"), c.file);
    CMacro macro(context);
    macro.m_Text = QStringLiteral("kept");
    EXPECT_EQ(macro.LoadMacro(file(QStringLiteral("m.txt"))), c.whole);
    EXPECT_EQ(macro.m_Name, file(QStringLiteral("m.txt")));
    EXPECT_EQ(macro.m_Voice, c.voice);
    EXPECT_EQ(macro.m_Gesture, c.gesture);
    EXPECT_EQ(macro.m_WhatToSay, c.say);
    EXPECT_EQ(macro.m_Text, c.text);
}

INSTANTIATE_TEST_SUITE_P(Files, MacroReadTest, testing::Values(
    ReadCase{"plain", "Sign\r\nWave\r\nSigning\r\n\"Kind regards\"\r\n", true, "Sign", "Wave", "Signing", "Kind regards"},
    ReadCase{"lines kept with their line breaks", "A\r\nNone\r\n\r\n\"one\r\ntwo\r\n\r\nfour\"\r\n", true,
             "A", "None", "", "one\ntwo\n\nfour"},
    ReadCase{"no line end after the closing quote", "A\r\nNone\r\nS\r\n\"t\"", true, "A", "None", "S", "t"},
    ReadCase{"LF line ends", "A\nNone\nS\n\"x\ny\"\n", true, "A", "None", "S", "x\ny"},
    ReadCase{"blanks before the quote", "A\r\nNone\r\nS\r\n   \"t\"\r\n", true, "A", "None", "S", "t"},
    ReadCase{"doubled quotes stand for one", "A\r\nNone\r\nS\r\n\"say \"\"hi\"\"\"\r\n", true, "A", "None", "S",
             "say \"hi\""},
    ReadCase{"an old file stops at a lone quote", "A\r\nNone\r\nS\r\n\"say \"hi\" now\"\r\n", true, "A", "None",
             "S", "say "},
    ReadCase{"empty text", "A\r\nNone\r\nS\r\n\"\"\r\n", true, "A", "None", "S", ""},
    ReadCase{"unquoted text runs to the comma", "A\r\nNone\r\nS\r\nhello there  , more\r\n", true, "A", "None",
             "S", "hello there"},
    ReadCase{"blanks kept in the lines", " Sign off \r\nWave\r\n Bye \r\n\"t\"\r\n", true, " Sign off ", "Wave",
             " Bye ", "t"},
    ReadCase{"no text", "A\r\nNone\r\nS\r\n", false, "A", "None", "S", "kept"},
    ReadCase{"fewer lines", "A\r\nNone", false, "A", "None", "", "kept"},
    ReadCase{"empty file", "", false, "", "", "", "kept"},
    ReadCase{"unclosed quote", "A\r\nNone\r\nS\r\n\"cut sho", false, "A", "None", "S", "kept"},
    ReadCase{"UTF-8", "Gr\xc3\xbc\xc3\x9f""e\r\nNone\r\nS\r\n\"\xe4\xbd\xa0\xe5\xa5\xbd \xe2\x80\x94\"\r\n", true,
             QStringLiteral("Grüße"), "None", "S", QStringLiteral("你好 —")},
    ReadCase{"UTF-8 with a byte-order mark", "\xef\xbb\xbf""A\r\nNone\r\nS\r\n\"t\"\r\n", true, "A", "None", "S", "t"},
    ReadCase{"Windows-1252 from elsewhere", "Caf\xe9\r\nNone\r\nS\r\n\"\x93na\xefve\x94 \x80\"\r\n", true,
             QStringLiteral("Café"), "None", "S", QStringLiteral("“naïve” €")}));

TEST_F(MacroTest, MissingFileIsNotReadAndChangesOnlyTheName)
{
    CMacro macro(context);
    macro.m_Voice = QStringLiteral("Macro 1");
    EXPECT_FALSE(macro.LoadMacro(file(QStringLiteral("none.txt"))));
    EXPECT_EQ(macro.m_Voice, QStringLiteral("Macro 1"));
}

TEST_F(MacroTest, SaveWritesTheFileFormatInUtf8)
{
    CMacro macro(context);
    macro.m_Name = file(QStringLiteral("1.txt"));
    macro.m_Voice = QStringLiteral("Address");
    macro.m_Gesture = QStringLiteral("Wave");
    macro.m_WhatToSay = QStringLiteral("Here it is");
    macro.m_Text = QStringLiteral("Dear Ada,\nGrüße");
    ASSERT_TRUE(macro.Save());
    EXPECT_EQ(IsolatedEnvironment::readFile(macro.m_Name),
              QByteArray("Address\r\nWave\r\nHere it is\r\n\"Dear Ada,\r\nGr\xc3\xbc\xc3\x9f""e\"\r\n"));
}

TEST_F(MacroTest, AnyTextSurvivesASaveAndALoad)
{
    const QString texts[] = {QStringLiteral("Dear Ada,\nGrüße — 你好 \"quoted\""), QStringLiteral("\"\""),
                             QStringLiteral("ends with a quote\""), QStringLiteral("\n\nblank lines\n\n"),
                             QStringLiteral("a, b, c"), QString()};
    for (const QString& text : texts) {
        CMacro saved(context);
        saved.m_Name = file(QStringLiteral("r.txt"));
        saved.m_Voice = QStringLiteral("Round trip");
        saved.m_Gesture = QStringLiteral("None");
        saved.m_Text = text;
        ASSERT_TRUE(saved.Save());
        CMacro loaded(context);
        ASSERT_TRUE(loaded.LoadMacro(saved.m_Name));
        EXPECT_EQ(loaded.m_Text, text);
        EXPECT_EQ(loaded.m_Voice, saved.m_Voice);
    }
}

TEST_F(MacroTest, AWindows1252FileIsWrittenBackInUtf8WithItsAccents)
{
    writeMacroFile(QStringLiteral("old.txt"), "Caf\xe9\r\nNone\r\n\r\n\"na\xefve\"\r\n");
    CMacro macro(context);
    ASSERT_TRUE(macro.LoadMacro(file(QStringLiteral("old.txt"))));
    ASSERT_TRUE(macro.Save());
    EXPECT_EQ(IsolatedEnvironment::readFile(macro.m_Name), QByteArray("Caf\xc3\xa9\r\nNone\r\n\r\n\"na\xc3\xafve\"\r\n"));
}

TEST_F(MacroTest, ALineBreakInAOneLinePartCannotShiftTheFile)
{
    CMacro saved(context);
    saved.m_Name = file(QStringLiteral("r.txt"));
    saved.m_Voice = QStringLiteral("two\nlines");
    saved.m_WhatToSay = QStringLiteral("a\r\nb");
    saved.m_Text = QStringLiteral("text");
    ASSERT_TRUE(saved.Save());
    CMacro loaded(context);
    ASSERT_TRUE(loaded.LoadMacro(saved.m_Name));
    EXPECT_EQ(loaded.m_Voice, QStringLiteral("two lines"));
    EXPECT_EQ(loaded.m_WhatToSay, QStringLiteral("a b"));
    EXPECT_EQ(loaded.m_Text, QStringLiteral("text"));
}

TEST_F(MacroTest, AnUnchangedFileIsNotRewritten)
{
    CMacro macro(context);
    macro.m_Name = file(QStringLiteral("1.txt"));
    macro.m_Text = QStringLiteral("same");
    ASSERT_TRUE(macro.Save());
    const ino_t before = inode(macro.m_Name);
    ASSERT_TRUE(macro.Save());
    EXPECT_EQ(inode(macro.m_Name), before);
    macro.m_Text = QStringLiteral("changed");
    ASSERT_TRUE(macro.Save());
    EXPECT_NE(inode(macro.m_Name), before);   // replaced, not written over
}

TEST_F(MacroTest, SaveIntoAFolderThatCannotExistFails)
{
    IsolatedEnvironment::writeFile(env.path(QStringLiteral("plain")), "a file, not a folder");
    CMacro macro(context);
    macro.m_Name = env.path(QStringLiteral("plain/1.txt"));
    EXPECT_FALSE(macro.Save());
}

TEST_F(MacroTest, DeleteRemovesTheFileAndIgnoresAMissingOne)
{
    CMacro macro(context);
    macro.m_Name = file(QStringLiteral("1.txt"));
    ASSERT_TRUE(macro.Save());
    macro.Delete();
    EXPECT_FALSE(QFile::exists(macro.m_Name));
    macro.Delete();
}

// A save killed at any moment leaves the old file or the new one, never a mix.
TEST_F(MacroTest, ASaveKilledMidwayLeavesAWholeFile)
{
    CMacro macro(context);
    macro.m_Name = file(QStringLiteral("big.txt"));
    macro.m_Text = QString(200000, u'a');
    ASSERT_TRUE(macro.Save());
    const QByteArray oldContents = macro.fileContents();
    macro.m_Text = QString(200000, u'b');
    const QByteArray newContents = macro.fileContents();

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        CMacro writer(context);
        writer.m_Name = macro.m_Name;
        for (bool announced = false;; announced = true) {
            writer.m_Text = QString(200000, u'b');
            writer.Save();
            writer.m_Text = QString(200000, u'a');
            writer.Save();
            if (!announced && ::write(ready[1], "x", 1) != 1)
                ::_exit(1);
        }
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);

    const QByteArray left = IsolatedEnvironment::readFile(macro.m_Name);
    EXPECT_TRUE(left == oldContents || left == newContents) << "a file of " << left.size() << " bytes";
}

TEST_F(MacroTest, ExecuteSpeaksPastesAndPressesShiftInsert)
{
    CMacro macro(context);
    macro.m_Gesture = QStringLiteral("Write");
    macro.m_WhatToSay = QStringLiteral("Here you are");
    macro.m_Text = QStringLiteral("line one\nline two");
    macro.Execute();
    EXPECT_EQ(voice.log, QStringList({"say Here you are|Write|1|0", "clipboard line one\nline two",
                                      "key 16 0 0", "key 45 0 0", "key 45 0 2", "key 16 0 2"}));
    EXPECT_EQ(clipboard.text(), QStringLiteral("line one\nline two"));
}

TEST_F(MacroTest, EmptyTextEmptiesTheClipboard)
{
    clipboard.setText(QStringLiteral("before"));
    CMacro macro(context);
    macro.Execute();
    EXPECT_FALSE(clipboard.hasText());
}

} // namespace
