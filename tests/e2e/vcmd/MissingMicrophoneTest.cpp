// A machine without a sound server: the control says so once, and menus still work.
// Its own program, since Qt keeps its first sound-server connection for the process.

#include "platform/vcmd/SphinxVoiceCommandControl.h"

#include "tests/support/TestEnvironment.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

class MissingMicrophoneTest : public IsolatedTest {};

TEST_F(MissingMicrophoneTest, ProblemIsReportedOnceAndMenusStillWork)
{
    env.setEnv("PULSE_SERVER", "unix:" + env.path("nobody-listens.sock"));
    env.setEnv("XDG_RUNTIME_DIR", env.root());
    SphinxVoiceCommandControl control{AudioInputSettings{}};
    QSignalSpy problem(&control, &SphinxVoiceCommandControl::audioProblemChanged);
    const auto menu = control.createMenu("MainMenu", "state1", 4);
    ASSERT_TRUE(menu.ok());
    control.addEntry(menu.value(), 0, "Show", "", "Show", 0, "Show");
    control.activateMenu(menu.value());
    EXPECT_TRUE(control.injectPhrase("Show"));
    ASSERT_TRUE(problem.wait(60000));
    EXPECT_FALSE(control.audioProblem().isEmpty());
    EXPECT_EQ(problem.count(), 1);
}

TEST_F(MissingMicrophoneTest, UnreadableAudioFileIsReported)
{
    AudioInputSettings input;
    input.wavPath = env.path("absent.wav");
    SphinxVoiceCommandControl control{input};
    QSignalSpy problem(&control, &SphinxVoiceCommandControl::audioProblemChanged);
    ASSERT_TRUE(problem.wait(60000));
    EXPECT_TRUE(control.audioProblem().contains("absent.wav"));
}

} // namespace
