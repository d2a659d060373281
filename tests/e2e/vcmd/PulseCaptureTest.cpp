// The real capture path: a PulseAudio server of the test's own, whose default source hears
// a sink that synthesised speech is played into, heard through QAudioSource by the control.
// (A monitor itself is no microphone to Qt, hence the source remapped from it.)

#include "SpeechFixtures.h"

#include "platform/vcmd/SphinxVoiceCommandControl.h"

#include "tests/support/TestEnvironment.h"

#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class PulseCaptureTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(QStandardPaths::findExecutable("pulseaudio").isEmpty()) << "pulseaudio is not installed";
        const QString socket = env.path("pulse.sock");
        IsolatedEnvironment::writeFile(env.path("test.pa"),
            QStringLiteral("load-module module-native-protocol-unix socket=%1 auth-anonymous=1\n"
                           "load-module module-null-sink sink_name=speaker rate=16000 channels=1\n"
                           "load-module module-remap-source source_name=mic master=speaker.monitor\n"
                           "set-default-source mic\n").arg(socket).toUtf8());
        env.setEnv("XDG_RUNTIME_DIR", env.root());
        env.setEnv("PULSE_RUNTIME_PATH", env.path("pulse"));
        env.setEnv("PULSE_SERVER", "unix:" + socket);
        server.setProcessChannelMode(QProcess::ForwardedChannels);
        server.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                    "--disable-shm=yes", "-F", env.path("test.pa")});
        ASSERT_TRUE(server.waitForStarted());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(socket); }, 20000))
            << "the test's PulseAudio server did not start";
    }

    void TearDown() override
    {
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            server.waitForFinished(10000);
        }
    }

    QProcess server;
};

TEST_F(PulseCaptureTest, PhraseSpokenIntoTheMicrophoneFires)
{
    SphinxVoiceCommandControl control{AudioInputSettings{}};
    QSignalSpy recognized(&control, &VoiceCommandControl::phraseRecognized);
    QSignalSpy level(&control, &SphinxVoiceCommandControl::levelMeasured);
    const int32_t menu = control.createMenu("MainMenu", "state1", 4).value();
    for (const char* phrase : {"Calculator", "Notepad", "Control Panel"})
        control.addEntry(menu, 0, phrase, "", phrase, 0, phrase);
    control.activateMenu(menu);

    // Audio is flowing once the level meter moves; only then is the phrase said.
    ASSERT_TRUE(level.wait(60000)) << control.audioProblem().toStdString();
    EXPECT_TRUE(control.audioProblem().isEmpty()) << control.audioProblem().toStdString();
    QProcess player;
    player.start("paplay", {"-d", "speaker", writeWav(env.path("say.wav"),
        joined({roomQuiet(300), synthesizeSpeech("Control Panel", env.root()), roomQuiet(1000)}))});
    ASSERT_TRUE(recognized.wait(60000));
    EXPECT_EQ(recognized.at(0).at(6).toString(), "Control Panel");
    player.waitForFinished(10000);
}

} // namespace
