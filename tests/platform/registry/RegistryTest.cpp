#include "platform/registry/Registry.h"

#include "platform/profile/PrivateProfile.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

namespace {

using registry::Root;

const std::string kAppPathKey = std::string(registry::kProgramKey) + "\\AppPath";

class RegistryTest : public IsolatedTest {
protected:
    void SetUp() override { ClearPrivateProfileCache(); }

    QString storeFile() const { return env.path("config/registry.ini"); }
    QString autostartFile(const QString& name) const { return env.path("config/autostart/" + name + ".desktop"); }
};

TEST_F(RegistryTest, programValuesIgnoreCaseInKeyPathsAndOnlyMissingOrTooLongGiveTheDefault)
{
    EXPECT_EQ(ReadRegistryValue("AppPath", "/fallback"), "/fallback");
    ASSERT_TRUE(registry::writeValue(Root::LocalMachine, "software\\QUENNET\\vorlix\\apppath\\", "", "/opt/vorlix"));
    EXPECT_EQ(ReadRegistryValue("AppPath", "/fallback"), "/opt/vorlix");
    ASSERT_TRUE(registry::writeValue(Root::LocalMachine, kAppPathKey, "", ""));
    EXPECT_EQ(ReadRegistryValue("AppPath", "/fallback"), "");
    ASSERT_TRUE(registry::writeValue(Root::LocalMachine, kAppPathKey, "", std::string(511, 'a')));
    EXPECT_EQ(ReadRegistryValue("AppPath", "d"), std::string(511, 'a'));
    ASSERT_TRUE(registry::writeValue(Root::LocalMachine, kAppPathKey, "", std::string(512, 'a')));
    EXPECT_EQ(ReadRegistryValue("AppPath", "d"), "d");
}

// Quotes, blanks and ini syntax inside a value must not be eaten or reinterpreted; what
// would break the store is refused.
TEST_F(RegistryTest, valuesComeBackExactlyUnderTheirOwnRootAndStoreBreakersAreRefused)
{
    for (const std::string value : {"  blanks both ends  ", "\"quoted\"", "a=b ; c", "[not a section]", "\""}) {
        ASSERT_TRUE(registry::writeValue(Root::CurrentUser, "Software\\Test", "Value", value)) << value;
        EXPECT_EQ(registry::readValue(Root::CurrentUser, "Software\\Test", "Value"), value);
    }
    EXPECT_EQ(registry::readValue(Root::LocalMachine, "Software\\Test", "Value"), std::nullopt);   // roots are separate

    EXPECT_FALSE(registry::writeValue(Root::CurrentUser, "Software\\Test", "v", "two\nlines"));
    EXPECT_FALSE(registry::writeValue(Root::CurrentUser, "Software\\Test", "@", "reserved"));
    EXPECT_FALSE(registry::writeValue(Root::CurrentUser, "Software\\Te]st", "v", "x"));
    ASSERT_TRUE(registry::writeValue(Root::CurrentUser, "Software\\Test", "v", "x"));
    EXPECT_TRUE(registry::deleteValue(Root::CurrentUser, "Software\\Test", "v"));
    EXPECT_EQ(registry::readValue(Root::CurrentUser, "Software\\Test", "v"), std::nullopt);
    EXPECT_TRUE(registry::deleteValue(Root::CurrentUser, "Software\\Test", "v"));
}

TEST_F(RegistryTest, garbageStoreStillAnswersAndKeepsItsBytesAndAnUnreadableOneGivesDefaults)
{
    const QByteArray garbage = QByteArray("\x00\xFF\xFE garbage\r\n=\r\n[\r\n]]]\r\n", 22) + QByteArray(100000, '\x01');
    IsolatedEnvironment::writeFile(storeFile(), garbage);
    EXPECT_EQ(ReadRegistryValue("AppPath", "d"), "d");
    ASSERT_TRUE(registry::writeValue(Root::LocalMachine, kAppPathKey, "", "/p"));
    EXPECT_EQ(ReadRegistryValue("AppPath", "d"), "/p");
    EXPECT_TRUE(IsolatedEnvironment::readFile(storeFile()).startsWith(garbage));

    ASSERT_TRUE(QFile::remove(storeFile()));
    QDir().mkpath(storeFile()); // a folder where the file should be: the store cannot be read
    EXPECT_EQ(ReadRegistryValue("AppPath", "d"), "d");
    EXPECT_FALSE(registry::writeValue(Root::LocalMachine, kAppPathKey, "", "/p"));
    EXPECT_TRUE(QFileInfo(storeFile()).isDir());
}

// On a first run not even the folder of the store exists.
TEST_F(RegistryTest, storeInMissingFolderIsCreatedOnFirstWrite)
{
    env.setEnv("VORLIX_REGISTRY", env.path("deep/er/store.ini"));
    ASSERT_TRUE(registry::writeValue(Root::LocalMachine, "Software\\Test", "v", "x"));
    EXPECT_EQ(registry::readValue(Root::LocalMachine, "Software\\Test", "v"), "x");
    EXPECT_TRUE(QFile::exists(env.path("deep/er/store.ini")));
}

TEST_F(RegistryTest, runValueIsAnAutostartEntryTheDesktopMaySwitchOffAndNamesCannotLeaveTheFolder)
{
    const std::string command = "\"/opt/my vorlix/bin/vorlix\" -AUTOSTART 100% c:\\x";
    ASSERT_TRUE(registry::writeValue(Root::LocalMachine, registry::kRunKey, "Vorlix", command));
    // The desktop expands % and backslashes in Exec: they must come out escaped.
    EXPECT_TRUE(IsolatedEnvironment::readFile(autostartFile("Vorlix"))
                    .contains("\nExec=\"/opt/my vorlix/bin/vorlix\" -AUTOSTART 100%% c:\\\\x\n"));
    EXPECT_EQ(registry::readValue(Root::LocalMachine, "software\\microsoft\\windows\\currentversion\\run", "Vorlix"),
              command);

    EXPECT_TRUE(registry::deleteValue(Root::LocalMachine, registry::kRunKey, "Vorlix"));
    EXPECT_FALSE(QFile::exists(autostartFile("Vorlix")));
    IsolatedEnvironment::writeFile(autostartFile("Vorlix"),
                                   "[Desktop Entry]\r\nExec=vorlix\r\nX-GNOME-Autostart-enabled=false\r\n");
    EXPECT_EQ(registry::readValue(Root::LocalMachine, registry::kRunKey, "Vorlix"), std::nullopt);
    IsolatedEnvironment::writeFile(autostartFile("Vorlix"), "[Other]\nExec=no\n[Desktop Entry]\nExec = vorlix -A\n");
    EXPECT_EQ(registry::readValue(Root::LocalMachine, registry::kRunKey, "Vorlix"), "vorlix -A");
    EXPECT_FALSE(registry::writeValue(Root::LocalMachine, registry::kRunKey, "../escape", "x"));
    EXPECT_FALSE(registry::writeValue(Root::LocalMachine, registry::kRunKey, "Vorlix", "a\nb"));
    EXPECT_FALSE(QFile::exists(env.path("config/escape.desktop")));
}

// expected: relative to the test root; "" means absent; "/..." is absolute
struct ShellFolderCase { Root root; const char* name; const char* expected; };

class ShellFolderTest : public RegistryTest, public testing::WithParamInterface<ShellFolderCase> {};

TEST_P(ShellFolderTest, fallsBackToTheXdgFolder)
{
    IsolatedEnvironment::writeFile(env.path("config/user-dirs.dirs"),
                                   "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                   "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n");
    env.setEnv("XDG_DATA_DIRS", "/usr/share/:relative:/opt/share");
    const std::string expected = GetParam().expected;
    const auto value = registry::readValue(GetParam().root, registry::kShellFoldersKey, GetParam().name);
    if (expected.empty()) {
        EXPECT_EQ(value, std::nullopt);
    } else {
        EXPECT_EQ(value, expected.front() == '/' ? expected : env.stdPath(QString::fromStdString(expected)));
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, ShellFolderTest, testing::Values(
    ShellFolderCase{Root::CurrentUser, "Desktop", "home/Schreibtisch"},
    ShellFolderCase{Root::CurrentUser, "personal", "/srv/docs"},
    ShellFolderCase{Root::CurrentUser, "Favorites", ""},
    ShellFolderCase{Root::LocalMachine, "Common Start Menu", "/usr/share/applications:/opt/share/applications"},
    ShellFolderCase{Root::LocalMachine, "Desktop", ""}));

} // namespace
