#include "tests/app/macros/MacroTestSupport.h"

#include <QFile>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

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

// A file not read whole must leave the text as it was: the list never saves such a macro.
TEST_P(MacroReadTest, ReadsTheFourPartsAsWritten)
{
    const ReadCase& c = GetParam();
    writeMacroFile(QStringLiteral("m.txt"), c.file);
    CMacro macro(context);
    macro.m_Text = QStringLiteral("kept");
    EXPECT_EQ(macro.LoadMacro(file(QStringLiteral("m.txt"))), c.whole);
    EXPECT_EQ(QStringList({macro.m_Voice, macro.m_Gesture, macro.m_WhatToSay, macro.m_Text}),
              QStringList({c.voice, c.gesture, c.say, c.text}));
}

INSTANTIATE_TEST_SUITE_P(Files, MacroReadTest, testing::Values(
    ReadCase{"line breaks and blank lines kept", "A\r\nNone\r\n\r\n\"one\r\ntwo\r\n\r\nfour\"\r\n", true,
             "A", "None", "", "one\ntwo\n\nfour"},
    ReadCase{"doubled quotes stand for one", "A\r\nNone\r\nS\r\n\"say \"\"hi\"\"\"\r\n", true, "A", "None", "S",
             "say \"hi\""},
    ReadCase{"an old file stops at a lone quote", "A\r\nNone\r\nS\r\n\"say \"hi\" now\"\r\n", true, "A", "None",
             "S", "say "},
    ReadCase{"no text", "A\r\nNone\r\nS\r\n", false, "A", "None", "S", "kept"},
    ReadCase{"unclosed quote", "A\r\nNone\r\nS\r\n\"cut sho", false, "A", "None", "S", "kept"},
    ReadCase{"UTF-8 with a byte-order mark", "\xef\xbb\xbfGr\xc3\xbc\xc3\x9f""e\r\nNone\r\nS\r\n\"\xe4\xbd\xa0\"\r\n",
             true, QStringLiteral("Grüße"), "None", "S", QStringLiteral("你")},
    ReadCase{"Windows-1252 from elsewhere", "Caf\xe9\r\nNone\r\nS\r\n\"\x93na\xefve\x94 \x80\"\r\n", true,
             QStringLiteral("Café"), "None", "S", QStringLiteral("“naïve” €")}));

// An old Windows-1252 file is saved back in UTF-8, accents intact.
TEST_F(MacroTest, SaveWritesTheFileFormatInUtf8)
{
    CMacro macro(context);
    macro.m_Name = file(QStringLiteral("1.txt"));
    writeMacroFile(QStringLiteral("old.txt"), "Caf\xe9\r\nNone\r\n\r\n\"na\xefve\"\r\n");
    ASSERT_TRUE(macro.LoadMacro(file(QStringLiteral("old.txt"))));
    ASSERT_TRUE(macro.Save());
    EXPECT_EQ(IsolatedEnvironment::readFile(macro.m_Name), QByteArray("Caf\xc3\xa9\r\nNone\r\n\r\n\"na\xc3\xafve\"\r\n"));
}

TEST_F(MacroTest, AnyTextSurvivesASaveAndALoadAndLineBreaksCannotShiftTheParts)
{
    for (const QString& text : {QStringLiteral("Grüße — 你好 \"quoted\", a, b"), QStringLiteral("ends with a quote\""),
                                QStringLiteral("\n\nblank lines\n\n"), QString()}) {
        CMacro saved(context);
        saved.m_Name = file(QStringLiteral("r.txt"));
        saved.m_Voice = QStringLiteral("two\nlines");
        saved.m_WhatToSay = QStringLiteral("a\r\nb");
        saved.m_Text = text;
        ASSERT_TRUE(saved.Save());
        CMacro loaded(context);
        ASSERT_TRUE(loaded.LoadMacro(saved.m_Name));
        EXPECT_EQ(loaded.m_Text, text);
        EXPECT_EQ(loaded.m_Voice, QStringLiteral("two lines"));
        EXPECT_EQ(loaded.m_WhatToSay, QStringLiteral("a b"));
    }
}

TEST_F(MacroTest, SaveIntoAFolderThatCannotExistFails)
{
    IsolatedEnvironment::writeFile(env.path(QStringLiteral("plain")), "a file, not a folder");
    CMacro macro(context);
    macro.m_Name = env.path(QStringLiteral("plain/1.txt"));
    EXPECT_FALSE(macro.Save());
}

// A save killed at any moment leaves the old file or the new one, never a mix.
TEST_F(MacroTest, ASaveKilledMidwayLeavesAWholeFile)
{
    CMacro macro(context);
    macro.m_Name = file(QStringLiteral("big.txt"));
    QByteArray whole[2];
    for (int i : {1, 0}) {
        macro.m_Text = QString(200000, i ? u'b' : u'a');
        whole[i] = macro.fileContents();
    }
    ASSERT_TRUE(macro.Save());

    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {   // saves the two texts in turn until killed, saying so after the first round
        for (int round = 0;; ++round) {
            for (char16_t letter : {u'b', u'a'}) {
                macro.m_Text = QString(200000, letter);
                macro.Save();
            }
            if (round == 0 && ::write(ready[1], "x", 1) != 1)
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
    EXPECT_TRUE(left == whole[0] || left == whole[1]) << "a file of " << left.size() << " bytes";
}

// The paste itself runs end to end; an empty macro must not paste what was copied before.
TEST_F(MacroTest, AnEmptyMacroEmptiesTheClipboard)
{
    CMacro macro(context);
    macro.m_Text = QStringLiteral("earlier");
    macro.Execute();
    CMacro empty(context);
    empty.Execute();
    EXPECT_FALSE(clipboard.hasText());
}

} // namespace
