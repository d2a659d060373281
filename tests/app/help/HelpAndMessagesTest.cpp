#include "app/help/HelpAndMessages.h"

#include "app/character/CharacterSpeech.h"
#include "app/common/Conversions.h"
#include "app/shell/ModalHost.h"
#include "app/voice/VoiceMenuControl.h"
#include "platform/desktop/ShellLauncher.h"
#include "tests/support/TestEnvironment.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Readable failures: gtest prints a QString as text, not as bytes.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using Events = std::vector<std::string>;

struct FakeSpeech : CharacterSpeech {
    Events& log;
    explicit FakeSpeech(Events& events) : log(events) {}
    void SayAndPlay(const QString& message, const QString& animation, bool hide, bool ignoreCharacterMode) override
    {
        log.push_back("say " + message.toStdString() + " | " + animation.toStdString() + (hide ? " hide" : "") +
                      (ignoreCharacterMode ? " always" : ""));
    }
    void StopAgent() override { log.push_back("stop"); }
};

struct FakeMenus : VoiceMenuControl {
    Events& log;
    explicit FakeMenus(Events& events) : log(events) {}
    void ActivateMenus() override { log.push_back("activate"); }
    void DeactivateMenus() override { log.push_back("deactivate"); }
};

// Stands in for the user: shows the dialog, lets the test act on it, and closes it with
// OK when the test left it open (a real modal loop would not return before that).
struct FakeModalHost : ModalHost {
    Events& log;
    std::function<void(QDialog&)> whileOpen;
    explicit FakeModalHost(Events& events) : log(events) {}
    int ShowModalForm(QDialog& form) override
    {
        log.push_back("modal");
        form.show();
        if (whileOpen)
            whileOpen(form);
        if (form.isVisible())
            form.findChild<QAbstractButton*>(QStringLiteral("cmdOK"))->click();
        return form.result();
    }
};

struct FakeShell : ShellLauncher {
    struct Call {
        QString target, parameters;
        int showCommand;
    };
    std::vector<Call> calls;
    void open(const QString& target, const QString& parameters, int showCommand) override
    {
        calls.push_back({target, parameters, showCommand});
    }
};

template <typename T>
T* control(QDialog& form, const char* name)
{
    T* widget = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void click(QDialog& form, const char* name) { control<QAbstractButton>(form, name)->click(); }

class HelpAndMessagesTest : public IsolatedTest {
protected:
    void SetUp() override { QDir().mkpath(appPath); }

    QString choicesFile() const { return appPath + "/MessageID.INI"; }
    void writeHelpFile(const QByteArray& bytes) { IsolatedEnvironment::writeFile(appPath + "/VORLIXHelp.dat", bytes); }

    // The state of the window as the user saw it when it opened.
    struct Seen {
        QString text;
        bool dontShowOffered = false;
        bool sayItEnabled = false;
    };
    Seen seen;
    void recordWhatIsSeen(QDialog& form)
    {
        if (auto* box = form.findChild<QPlainTextEdit*>(QStringLiteral("txtMessage")))
            seen.text = box->toPlainText();
        if (auto* label = form.findChild<QLabel*>(QStringLiteral("lblMessage")))
            seen.text = label->text();
        if (auto* check = form.findChild<QCheckBox*>(QStringLiteral("chkDontShow")))
            seen.dontShowOffered = check->isVisible();
        seen.sayItEnabled = control<QAbstractButton>(form, "cmdSayIt")->isEnabled();
    }
    void openAndThen(std::function<void(QDialog&)> act = {})
    {
        host.whileOpen = [this, act](QDialog& form) {
            recordWhatIsSeen(form);
            if (act)
                act(form);
        };
    }

    QString appPath = env.path("app");
    Events events;
    FakeSpeech speech{events};
    FakeMenus menus{events};
    FakeModalHost host{events};
    FakeShell shell;
    HelpAndMessages help{appPath, speech, menus, host, shell};
};

// ---- the help window ------------------------------------------------------------------

TEST_F(HelpAndMessagesTest, HelpWindowReadsItsTextWhileListeningIsOffAndStopsTheCharacterOnClose)
{
    openAndThen();
    help.ShowHelpMessage("Say Show to see me.", "Greeting", true);

    EXPECT_EQ(events, (Events{"deactivate", "modal", "say Say Show to see me. | Read hide always", "stop",
                              "activate"}));
    EXPECT_EQ(seen.text, "Say Show to see me.");
    EXPECT_TRUE(seen.dontShowOffered);
}

TEST_F(HelpAndMessagesTest, SuppressedIdentifierReturnsAtOnceWithoutTouchingAnything)
{
    IsolatedEnvironment::writeFile(choicesFile(), "[General]\r\nGreeting=Yes\r\n");
    help.ShowHelpMessage("Hello", "Greeting", true);
    EXPECT_TRUE(events.empty());
}

TEST_F(HelpAndMessagesTest, SayItReadsTheTextAgain)
{
    openAndThen([](QDialog& form) { click(form, "cmdSayIt"); });
    help.ShowHelpMessage("Twice", "Twice", false);
    EXPECT_EQ(std::count(events.begin(), events.end(), "say Twice | Read hide always"), 2);
}

TEST_F(HelpAndMessagesTest, HelpButtonShowsItsTopicEvenWhenSuppressedElsewhere)
{
    writeHelpFile("\"overview\",\"start\",\"programs\",\"documents\",\"web sites\",\"macros\"\r\n");
    help.LoadHelpTexts();

    // The first-run prompt offers the box; ticking it hides that prompt for good ...
    openAndThen([](QDialog& form) {
        control<QCheckBox>(form, "chkDontShow")->setChecked(true);
        click(form, "cmdOK");
    });
    help.ShowFirstRunHelp();
    EXPECT_EQ(seen.text, "overview");
    events.clear();
    help.ShowFirstRunHelp();
    EXPECT_TRUE(events.empty());

    // ... but never the help button's, which shows without the box.
    openAndThen();
    help.ShowPageHelp(HelpTopic::Overview);
    EXPECT_EQ(seen.text, "overview");
    EXPECT_FALSE(seen.dontShowOffered);

    IsolatedEnvironment::writeFile(choicesFile(), "[General]\r\nWebSites=Yes\r\nMacros=Yes\r\n");
    for (auto [topic, text] : {std::pair{HelpTopic::WebSites, "web sites"}, std::pair{HelpTopic::Macros, "macros"}}) {
        help.ShowPageHelp(topic);
        EXPECT_EQ(seen.text, text);
    }
}

TEST_F(HelpAndMessagesTest, HelpWithEmptyTextStillOpens)
{
    openAndThen();
    help.ShowPageHelp(HelpTopic::Documents);
    EXPECT_EQ(events.front(), "deactivate");
    EXPECT_EQ(seen.text, "");
}

// ---- the "don't show" box: only a ticked box confirmed with OK is remembered -----------

struct DontShowCase {
    const char* name;
    bool ticked;
    std::function<void(QDialog&)> close;
    bool remembered;
};

class DontShowChoiceTest : public HelpAndMessagesTest, public testing::WithParamInterface<DontShowCase> {};

TEST_P(DontShowChoiceTest, WritesExactlyOneYesOnlyForTickedOk)
{
    openAndThen([](QDialog& form) {
        control<QCheckBox>(form, "chkDontShow")->setChecked(GetParam().ticked);
        GetParam().close(form);
    });
    help.ShowHelpMessage("Tip", "ShowHide", true);

    EXPECT_EQ(events.back(), "activate");
    EXPECT_EQ(events[events.size() - 2], "stop");
    if (GetParam().remembered)
        EXPECT_EQ(IsolatedEnvironment::readFile(choicesFile()), "[General]\r\nShowHide=Yes\r\n");
    else
        EXPECT_FALSE(QFile::exists(choicesFile()));
    EXPECT_EQ(help.IsMessageHidden("ShowHide"), GetParam().remembered);
}

INSTANTIATE_TEST_SUITE_P(
    Closing, DontShowChoiceTest,
    testing::Values(DontShowCase{"TickedOk", true, [](QDialog& f) { click(f, "cmdOK"); }, true},
                    DontShowCase{"UntickedOk", false, [](QDialog& f) { click(f, "cmdOK"); }, false},
                    DontShowCase{"TickedCloseBox", true, [](QDialog& f) { f.close(); }, false},
                    DontShowCase{"TickedEscape", true, [](QDialog& f) { QTest::keyClick(&f, Qt::Key_Escape); },
                                 false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the message window ---------------------------------------------------------------

TEST_F(HelpAndMessagesTest, SilentMessageKeepsSayItDisabledAndLeavesTheCharacterAlone)
{
    openAndThen([](QDialog& form) { click(form, "cmdSayIt"); });
    help.ShowMessage("Failed to load character.", false);

    EXPECT_EQ(events, (Events{"deactivate", "modal", "activate"}));
    EXPECT_FALSE(seen.sayItEnabled);
    EXPECT_EQ(seen.text, "Failed to load character.");
}

TEST_F(HelpAndMessagesTest, SpokenMessageIsReadWhenOpenedAndStoppedWhenClosedByEitherWay)
{
    for (const auto& close : std::vector<std::function<void(QDialog&)>>{[](QDialog& f) { click(f, "cmdOK"); },
                                                                         [](QDialog& f) { f.close(); }}) {
        events.clear();
        openAndThen(close);
        help.ShowMessage("Restart please", true);
        EXPECT_EQ(events, (Events{"deactivate", "modal", "say Restart please | Read hide always", "stop", "activate"}));
        EXPECT_TRUE(seen.sayItEnabled);
    }
}

TEST_F(HelpAndMessagesTest, MessageTextIsShownAsWrittenNotAsMarkup)
{
    Qt::TextFormat format = Qt::AutoText;
    openAndThen([&format](QDialog& form) { format = control<QLabel>(form, "lblMessage")->textFormat(); });
    help.ShowMessage("Failed to find character file /tmp/<b>x</b>.acs\r\nUnable to run.", true);
    EXPECT_EQ(seen.text, "Failed to find character file /tmp/<b>x</b>.acs\nUnable to run.");
    EXPECT_EQ(format, Qt::PlainText);
}

TEST_F(HelpAndMessagesTest, CallersTextsGoToTheRightWindow)
{
    openAndThen();
    help.ShowRestartNotice();
    EXPECT_EQ(events.at(2), "say In order for these settings to take effect you will need to restart Vorlix | Read hide always");

    events.clear();
    help.ShowTrainingNotice();
    EXPECT_TRUE(seen.sayItEnabled);
    EXPECT_TRUE(seen.text.startsWith("The first time Vorlix runs, you will go through some training."));

    help.ShowTrayHint();
    EXPECT_EQ(seen.text, "You can hide and show the Vorlix window by saying the command 'Show' or 'Hide.");
    EXPECT_TRUE(seen.dontShowOffered);
    IsolatedEnvironment::writeFile(choicesFile(), "[General]\r\nShowHide=Yes\r\n");
    events.clear();
    help.ShowTrayHint();
    EXPECT_TRUE(events.empty());
}

// ---- the web page buttons -------------------------------------------------------------

TEST_F(HelpAndMessagesTest, WebPagesOpenMaximisedWithoutParameters)
{
    help.openDownloadPage();
    help.openSupportPage("https://help.example.net/desk");
    help.openSupportPage("  ");
    ASSERT_EQ(shell.calls.size(), 3u);
    EXPECT_EQ(shell.calls[0].target, HelpAndMessages::kCharacterDownloadPage);
    EXPECT_EQ(shell.calls[1].target, "https://help.example.net/desk");
    EXPECT_EQ(shell.calls[2].target, HelpAndMessages::kDefaultSupportPage);
    for (const auto& call : shell.calls) {
        EXPECT_EQ(call.parameters, "");
        EXPECT_EQ(call.showCommand, ShellLauncher::kShowMaximized);
    }
}

// ---- remembered choices ---------------------------------------------------------------

struct HiddenCase {
    const char* name;
    std::optional<QByteArray> file;
    bool hidden;
};

class IsMessageHiddenTest : public HelpAndMessagesTest, public testing::WithParamInterface<HiddenCase> {};

TEST_P(IsMessageHiddenTest, OnlyAnExactYesHides)
{
    if (GetParam().file)
        IsolatedEnvironment::writeFile(choicesFile(), *GetParam().file);
    EXPECT_EQ(help.IsMessageHidden("ShowHide"), GetParam().hidden);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IsMessageHiddenTest,
    testing::Values(HiddenCase{"NoFile", std::nullopt, false},
                    HiddenCase{"Yes", QByteArray("[General]\r\nShowHide=Yes\r\n"), true},
                    HiddenCase{"KeyCaseIgnored", QByteArray("[general]\nshowhide = Yes\n"), true},
                    HiddenCase{"ValueCaseKept", QByteArray("[General]\r\nShowHide=yes\r\n"), false},
                    HiddenCase{"No", QByteArray("[General]\r\nShowHide=No\r\n"), false},
                    HiddenCase{"Empty", QByteArray("[General]\r\nShowHide=\r\n"), false},
                    HiddenCase{"OtherSection", QByteArray("[Other]\r\nShowHide=Yes\r\n"), false},
                    HiddenCase{"OtherKey", QByteArray("[General]\r\nOverview=Yes\r\n"), false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the help data file ---------------------------------------------------------------

struct HelpFileCase {
    const char* name;
    std::optional<QByteArray> file;
    std::vector<QString> texts;  // Overview .. Macros; missing ones must be empty
};

class LoadHelpTextsTest : public HelpAndMessagesTest, public testing::WithParamInterface<HelpFileCase> {};

TEST_P(LoadHelpTextsTest, ReadsSixFieldsInTopicOrder)
{
    if (GetParam().file)
        writeHelpFile(*GetParam().file);
    help.LoadHelpTexts();

    const HelpTexts& t = help.helpTexts();
    std::vector<QString> expected = GetParam().texts;
    expected.resize(6);
    EXPECT_EQ((std::vector<QString>{t.Overview, t.Start, t.Programs, t.Documents, t.WebSites, t.Macros}), expected);
    EXPECT_TRUE(events.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadHelpTextsTest,
    testing::Values(
        HelpFileCase{"Missing", std::nullopt, {}},
        HelpFileCase{"Empty", QByteArray(""), {}},
        HelpFileCase{"Complete",
                     QByteArray("\"One, with comma\",\"Two\r\nlines\"\r\n  \"3\"\r\n\"4\",\"5\"\r\n\"6\"\r\n"),
                     {"One, with comma", "Two\r\nlines", "3", "4", "5", "6"}},
        HelpFileCase{"Short", QByteArray("\"Overview\"\r\n\"Start\"\r\n"), {"Overview", "Start"}},
        HelpFileCase{"UnquotedTrimmed", QByteArray("  plain text   ,next\r\n"), {"plain text", "next"}},
        HelpFileCase{"EightBitCodePage", QByteArray("\"Caf\xe9\"\r\n"), {QString::fromUtf8("Caf\u00e9")}},
        HelpFileCase{"Utf8", QByteArray("\"Caf\xc3\xa9\"\r\n"), {QString::fromUtf8("Caf\u00e9")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HelpAndMessagesTest, SuppliedHelpFileHoldsExactlySixTexts)
{
    const QByteArray bytes =
        IsolatedEnvironment::readFile(qEnvironmentVariable("VORLIX_SOURCE_DIR") + "/data/VORLIXHelp.dat");
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n")) << "line ends must be CR LF";

    SequentialFieldReader fields{QString::fromUtf8(bytes)};
    int count = 0;
    while (std::optional<QString> field = fields.next()) {
        EXPECT_GT(field->size(), 200) << "field " << count;
        ++count;
    }
    EXPECT_EQ(count, 6);
}

} // namespace
