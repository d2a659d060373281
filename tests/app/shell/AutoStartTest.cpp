#include "app/shell/AutoStart.h"

#include "tests/support/TestEnvironment.h"

#include <QFile>

namespace {

class AutoStartTest : public IsolatedTest {
protected:
    QString entry() const { return env.path("config/autostart/Vorlix.desktop"); }
};

TEST_F(AutoStartTest, TickedWritesTheEntryWithTheArgumentAndClearedRemovesIt)
{
    AutoStart::SetAutoStart(true, "/opt/vorlix/bin/vorlix");
    const QByteArray text = IsolatedEnvironment::readFile(entry());
    EXPECT_TRUE(text.contains("Exec=/opt/vorlix/bin/vorlix -AUTOSTART")) << text.toStdString();
    EXPECT_EQ(AutoStart::ReadAutoStart(), std::optional<bool>(true));

    AutoStart::SetAutoStart(false, "/opt/vorlix/bin/vorlix");
    EXPECT_FALSE(QFile::exists(entry()));
    EXPECT_EQ(AutoStart::ReadAutoStart(), std::optional<bool>(false));
    AutoStart::SetAutoStart(false, "/opt/vorlix/bin/vorlix");   // removing a missing entry is quiet
}

TEST_F(AutoStartTest, PathWithBlanksStaysOneWord)
{
    EXPECT_EQ(AutoStart::entryText("/home/me/My Apps/vorlix"), "\"/home/me/My Apps/vorlix\" -AUTOSTART");
    EXPECT_EQ(AutoStart::entryText("/usr/bin/vorlix"), "/usr/bin/vorlix -AUTOSTART");
}

} // namespace
