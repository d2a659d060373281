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
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Events = std::vector<std::string>;
using UserAction = std::function<void(QDialog&)>;

// What the user saw when the window opened.
struct Seen { QString text; bool dontShowOffered = false, sayItEnabled = false; };

// The character, the voice menus, the shell and the user. As the user it shows the dialog,
// notes what it shows, acts on it, and closes it with OK when the action left it open (a real
// modal loop returns only then).
struct FakeUser : CharacterSpeech, VoiceMenuControl, ModalHost, ShellLauncher {
    Events& log;
    Seen seen;
    UserAction userAction;
    std::vector<std::tuple<QString, QString, int>> opened;
    explicit FakeUser(Events& events) : log(events) {}
    void SayAndPlay(const QString& message, const QString& animation, bool hide, bool ignoreMode) override
    {
        log.push_back("say " + message.toStdString() + " | " + animation.toStdString() + (hide ? " hide" : "") +
                      (ignoreMode ? " always" : ""));
    }
    void StopAgent() override { log.push_back("stop"); }
    // Reading a window is what the user notes as its reading aloud.
    void ReadWindowAloud(const QString& text, const QRect&) override { SayAndPlay(text, "Read", true, true); }
    void ActivateMenus() override { log.push_back("activate"); }
    void DeactivateMenus() override { log.push_back("deactivate"); }
    bool open(const QString& target, const QString& args, int show) override { return opened.emplace_back(target, args, show), true; }
    int ShowModalForm(QDialog& form) override
    {
        log.push_back("modal");
        form.show();
        auto* box = form.findChild<QPlainTextEdit*>("txtMessage");
        auto* label = form.findChild<QLabel*>("lblMessage");
        auto* check = form.findChild<QCheckBox*>("chkDontShow");
        seen.text = label ? label->text() : box ? box->toPlainText() : QString();
        seen.dontShowOffered = check && check->isVisible();
        seen.sayItEnabled = form.findChild<QAbstractButton*>("cmdSayIt")->isEnabled();
        if (userAction)
            userAction(form);
        if (form.isVisible())
            form.findChild<QAbstractButton*>("cmdOK")->click();
        return form.result();
    }
};

void click(QDialog& form, const char* name) { form.findChild<QAbstractButton*>(name)->click(); }
void tickDontShow(QDialog& form) { form.findChild<QCheckBox*>("chkDontShow")->setChecked(true); }

class HelpAndMessagesTest : public IsolatedTest {
protected:
    void SetUp() override { QDir().mkpath(appPath); }

    QString choicesFile() const { return appPath + "/MessageID.INI"; }
    void hideMessages(const QByteArray& keys) { IsolatedEnvironment::writeFile(choicesFile(), "[General]\r\n" + keys); }

    QString appPath = env.path("app");
    Events events;
    FakeUser host{events};
    HelpAndMessages help{appPath, host, host, host, host};
};

// ---- the help window ------------------------------------------------------------------

TEST_F(HelpAndMessagesTest, HelpWindowIsReadWhileListeningIsOffStopsTheCharacterOnCloseAndCanBeSuppressed)
{
    host.userAction = [](QDialog& form) { click(form, "cmdSayIt"); };
    help.ShowHelpMessage("Say Show to see me.", "Greeting", true);

    const std::string reading = "say Say Show to see me. | Read hide always";
    EXPECT_EQ(events, (Events{"deactivate", "modal", reading, reading, "stop", "activate"}));
    EXPECT_EQ(host.seen.text, "Say Show to see me.");
    EXPECT_TRUE(host.seen.dontShowOffered);

    // A suppressed identifier returns at once without touching anything; only the exact "Yes" hides.
    hideMessages("Greeting=Yes\r\nFarewell=yes\r\n");
    events.clear();
    help.ShowHelpMessage("Hello", "Greeting", true);
    EXPECT_TRUE(events.empty());
    help.ShowHelpMessage("Bye", "Farewell", true);
    EXPECT_EQ(events.at(1), "modal");
}

TEST_F(HelpAndMessagesTest, HelpButtonShowsItsTopicEvenWhenTheFirstRunPromptIsSuppressed)
{
    IsolatedEnvironment::writeFile(appPath + "/VORLIXHelp.dat", "\"overview\",\"start\"\r\n\"programs\"\r\n"
                                                                 "\"documents\",\"web sites\",\"macros\"\r\n");
    help.LoadHelpTexts();
    hideMessages("Overview=Yes\r\nWebSites=Yes\r\n");
    help.ShowFirstRunHelp();
    EXPECT_TRUE(events.empty());
    help.ShowPageHelp(HelpTopic::Overview);
    EXPECT_EQ(host.seen.text, "overview");
    help.ShowPageHelp(HelpTopic::WebSites);
    EXPECT_EQ(host.seen.text, "web sites");
    EXPECT_FALSE(host.seen.dontShowOffered);
}

// Only a ticked box confirmed with OK is remembered, as exactly one "Yes".
TEST_F(HelpAndMessagesTest, DontShowIsRememberedOnlyForATickedBoxAndOk)
{
    struct Closing { const char* how; bool ticked; UserAction close; bool remembered; };
    const UserAction ok = [](QDialog& f) { click(f, "cmdOK"); };
    for (const Closing& c : {Closing{"unticked OK", false, ok, false},
                             Closing{"ticked Escape", true, [](QDialog& f) { QTest::keyClick(&f, Qt::Key_Escape); }, false},
                             Closing{"ticked OK", true, ok, true}}) {
        SCOPED_TRACE(c.how);
        host.userAction = [&c](QDialog& form) {
            if (c.ticked)
                tickDontShow(form);
            c.close(form);
        };
        help.ShowTrayHint();
        EXPECT_EQ(Events(events.end() - 2, events.end()), (Events{"stop", "activate"}));
        EXPECT_EQ(help.IsMessageHidden("ShowHide"), c.remembered);
    }
    EXPECT_EQ(IsolatedEnvironment::readFile(choicesFile()), "[General]\r\nShowHide=Yes\r\n");   // nothing else written before
}

// A file name may hold anything: the text is shown as written, never as markup.
TEST_F(HelpAndMessagesTest, SilentMessageIsShownAsWrittenAndNeverReadWhileASpokenOneIs)
{
    Qt::TextFormat format = Qt::AutoText;
    host.userAction = [&format](QDialog& form) {
        format = form.findChild<QLabel*>("lblMessage")->textFormat();
        click(form, "cmdSayIt");
        form.close();
    };
    help.ShowMessage("Failed to find character file /tmp/<b>x</b>.acs\r\nUnable to run.", false);
    EXPECT_EQ(host.seen.text, "Failed to find character file /tmp/<b>x</b>.acs\nUnable to run.");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_FALSE(host.seen.sayItEnabled);
    EXPECT_EQ(events, (Events{"deactivate", "modal", "activate"}));

    events.clear();
    host.userAction = [](QDialog& form) { form.close(); };
    help.ShowRestartNotice();   // a spoken message is read when opened and stopped on close
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[2], "say " + host.seen.text.toStdString() + " | Read hide always");
    EXPECT_EQ(Events(events.end() - 2, events.end()), (Events{"stop", "activate"}));
}

TEST_F(HelpAndMessagesTest, AThousandLineMessageScrollsAndItsOkButtonStaysOnTheScreen)
{
    QStringList lines;
    for (int i = 1; i <= 1000; ++i)
        lines << QStringLiteral("VoiceCommands.INI, section \"VoiceCommand %1\": this command was left out.").arg(i);
    QRect screen, window, ok;
    host.userAction = [&](QDialog& form) {
        screen = form.screen()->availableGeometry();
        window = form.geometry();
        const auto* button = form.findChild<QAbstractButton*>("cmdOK");
        ok = QRect(button->mapTo(&form, QPoint(0, 0)), button->size());
    };
    help.ShowMessage(lines.join(u'\n'), false);
    EXPECT_EQ(host.seen.text.count(u'\n'), 999) << "the whole text is there to scroll through";
    EXPECT_LE(window.height(), screen.height());
    EXPECT_LE(window.width(), screen.width());
    EXPECT_TRUE(QRect(QPoint(0, 0), window.size()).contains(ok)) << ok.y() << " in " << window.height();
}

TEST_F(HelpAndMessagesTest, ABlankSupportAddressFallsBackToTheDefaultPage)
{
    help.openSupportPage("https://help.example.net/desk");
    help.openSupportPage("  ");
    EXPECT_EQ(host.opened, (std::vector<std::tuple<QString, QString, int>>{{"https://help.example.net/desk", "", 3},
        {HelpAndMessages::kDefaultSupportPage, "", 3}}));
}

// ---- the help data file ---------------------------------------------------------------

TEST_F(HelpAndMessagesTest, HelpTextsAreSixFieldsInTopicOrderReadSilently)
{
    const std::vector<std::pair<std::optional<QByteArray>, std::vector<QString>>> cases{
        {std::nullopt, {}},
        {"\"One, two\",\"Two\r\nlines\"\r\n  \"3\"\r\n\"4\",\"5\"\r\n\"6\"\r\n\"7\"\r\n",
         {"One, two", "Two\r\nlines", "3", "4", "5", "6"}},
        {"\"Caf\xe9\"\r\n", {QString::fromUtf8("Caf\u00e9")}}};   // an 8-bit code page, not UTF-8
    for (auto [file, expected] : cases) {
        if (file)
            IsolatedEnvironment::writeFile(appPath + "/VORLIXHelp.dat", *file);
        HelpAndMessages fresh{appPath, host, host, host, host};
        fresh.LoadHelpTexts();
        const HelpTexts& t = fresh.helpTexts();
        expected.resize(6);   // the ones not given are empty
        EXPECT_EQ((std::vector<QString>{t.Overview, t.Start, t.Programs, t.Documents, t.WebSites, t.Macros}), expected);
    }
    EXPECT_TRUE(events.empty());
}

TEST_F(HelpAndMessagesTest, SuppliedHelpFileHoldsExactlySixTextsWithCrLfLineEnds)
{
    const QByteArray bytes =
        IsolatedEnvironment::readFile(qEnvironmentVariable("VORLIX_SOURCE_DIR") + "/data/VORLIXHelp.dat");
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));

    SequentialFieldReader fields{QString::fromUtf8(bytes)};
    int count = 0;
    for (; std::optional<QString> field = fields.next(); ++count)
        EXPECT_GT(field->size(), 200) << "text " << count << " is cut short";
    EXPECT_EQ(count, 6);
}

} // namespace
