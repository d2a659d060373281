// The real capture path: a PulseAudio server of the test's own, whose default source is a
// pipe fed with synthesised speech, heard through QAudioSource by the control.

#include "SpeechFixtures.h"

#include "platform/vcmd/SphinxVoiceCommandControl.h"

#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

// Writes 20 ms blocks into the pipe at the pace of a sound card: quiet, or queued speech.
class PipeMicrophone {
public:
    explicit PipeMicrophone(const QString& fifo) : m_fifo(fifo.toStdString())
    {
        m_thread = std::thread([this] { run(); });
    }
    ~PipeMicrophone()
    {
        m_stop = true;
        m_thread.join();
    }
    void say(const std::vector<int16_t>& samples)
    {
        std::lock_guard lock(m_mutex);
        m_queue.insert(m_queue.end(), samples.begin(), samples.end());
    }

private:
    void run()
    {
        // Non-blocking open: fails at once, rather than hanging, when the server is not reading.
        const int fd = ::open(m_fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd < 0)
            return;
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        const std::vector<int16_t> quiet = roomQuiet(20);
        auto next = std::chrono::steady_clock::now();
        while (!m_stop) {
            std::vector<int16_t> block;
            {
                std::lock_guard lock(m_mutex);
                const size_t n = std::min<size_t>(320, m_queue.size());
                block.assign(m_queue.begin(), m_queue.begin() + n);
                m_queue.erase(m_queue.begin(), m_queue.begin() + n);
            }
            block.insert(block.end(), quiet.begin(), quiet.begin() + (320 - block.size()));
            if (::write(fd, block.data(), block.size() * 2) < 0)
                break;
            next += std::chrono::milliseconds(20);
            std::this_thread::sleep_until(next);   // a device's clock, not a wait for a result
        }
        ::close(fd);
    }

    std::string m_fifo;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<int16_t> m_queue;
};

class PulseCaptureTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(QStandardPaths::findExecutable("pulseaudio").isEmpty()) << "pulseaudio is not installed";
        fifo = env.path("mic.fifo");
        const QString socket = env.path("pulse.sock");
        IsolatedEnvironment::writeFile(env.path("test.pa"),
            QStringLiteral("load-module module-native-protocol-unix socket=%1 auth-anonymous=1\n"
                           "load-module module-null-sink sink_name=speaker\n"
                           "load-module module-pipe-source source_name=mic file=%2 format=s16le rate=16000 channels=1\n"
                           "set-default-source mic\n").arg(socket, fifo).toUtf8());
        env.setEnv("XDG_RUNTIME_DIR", env.root());
        env.setEnv("PULSE_RUNTIME_PATH", env.path("pulse"));
        env.setEnv("PULSE_SERVER", "unix:" + socket);
        server.setProcessChannelMode(QProcess::ForwardedChannels);
        server.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                    "--disable-shm=yes", "-F", env.path("test.pa")});
        ASSERT_TRUE(server.waitForStarted());
        // The server makes the pipe when it loads the module, after the socket.
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(socket) && QFileInfo::exists(fifo); }, 20000))
            << "the test's PulseAudio server did not start";
        microphone = std::make_unique<PipeMicrophone>(fifo);
    }

    void TearDown() override
    {
        microphone.reset();
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            server.waitForFinished(10000);
        }
    }

    QString fifo;
    QProcess server;
    std::unique_ptr<PipeMicrophone> microphone;
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
    microphone->say(joined({synthesizeSpeech("Control Panel", env.root()), roomQuiet(1000)}));
    ASSERT_TRUE(recognized.wait(60000));
    EXPECT_EQ(recognized.at(0).at(6).toString(), "Control Panel");
}

} // namespace
