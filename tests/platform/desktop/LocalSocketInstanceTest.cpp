#include "platform/desktop/LocalSocketInstance.h"

#include "tests/support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

#include <algorithm>
#include <filesystem>
#include <future>
#include <memory>
#include <vector>

#include <sys/resource.h>

namespace {

const QString kCaption = QStringLiteral("Vorlix test");

// The client blocks while it waits, so it runs on a thread while this one serves.
Result<QString> sendAndServe(const QString& request)
{
    std::future<Result<QString>> reply = std::async(std::launch::async, [request] {
        return LocalSocketInstance::send(kCaption, request, 5000);
    });
    while (reply.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return reply.get();
}

// Lowers the limit of open files for the life of the object.
struct OpenFileLimit {
    explicit OpenFileLimit(rlim_t soft)
    {
        ::getrlimit(RLIMIT_NOFILE, &saved);
        const rlimit lowered{soft, saved.rlim_max};
        ::setrlimit(RLIMIT_NOFILE, &lowered);
    }
    ~OpenFileLimit() { ::setrlimit(RLIMIT_NOFILE, &saved); }
    rlimit saved{};
};

class LocalSocketInstanceTest : public IsolatedTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen(kCaption, [](const QString& request) { return "got " + request; }).ok());
    }

    // Connects and then says nothing, as a stuck or hostile client would.
    std::vector<std::unique_ptr<QLocalSocket>> idleClients(int count)
    {
        std::vector<std::unique_ptr<QLocalSocket>> clients;
        for (int i = 0; i < count; ++i) {
            auto client = std::make_unique<QLocalSocket>();
            client->connectToServer(LocalSocketInstance::socketPath(kCaption));
            clients.push_back(std::move(client));
        }
        return clients;
    }

    LocalSocketInstance server{nullptr, 50};
};

TEST_F(LocalSocketInstanceTest, IdleClientsAreDroppedAfterTheirTime)
{
    auto clients = idleClients(3);
    QDeadlineTimer deadline(5000);
    const auto allDropped = [&] {
        return std::ranges::all_of(clients, [](const auto& c) { return c->state() == QLocalSocket::UnconnectedState; });
    };
    while (!allDropped() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(allDropped());
    EXPECT_EQ(sendAndServe("status").value(), "got status");
}

TEST_F(LocalSocketInstanceTest, AFloodOfIdleClientsBeyondTheOpenFileLimitNeverClosesTheServer)
{
    constexpr int kClients = 150;
    // Room for the clients' own ends and the server's bounded share, not for the server
    // taking every client as well.
    const auto openFiles = std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    OpenFileLimit limit(rlim_t(openFiles + kClients + 2 * LocalSocketInstance::kMaxClients + 18));
    std::vector<std::unique_ptr<QLocalSocket>> clients;
    for (int batch = 0; batch < kClients / 10; ++batch) {
        for (auto& client : idleClients(10))
            clients.push_back(std::move(client));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_TRUE(server.isListening());
    EXPECT_TRUE(QFileInfo::exists(LocalSocketInstance::socketPath(kCaption)));
    clients.clear();

    const Result<QString> reply = sendAndServe("say hello");
    ASSERT_TRUE(reply.ok()) << reply.error().message.toStdString();
    EXPECT_EQ(reply.value(), "got say hello");
}

TEST_F(LocalSocketInstanceTest, ALongRuntimeFolderFallsBackToAShortSocketPath)
{
    server.close();
    const QString deep = env.path(QString(60, u'r') + "/" + QString(60, u'u'));
    ASSERT_TRUE(QDir().mkpath(deep));
    env.setEnv("XDG_RUNTIME_DIR", deep);

    const QString path = LocalSocketInstance::socketPath(kCaption);
    EXPECT_LE(QFile::encodeName(path).size(), 107);
    ASSERT_TRUE(server.listen(kCaption, [](const QString& request) { return "got " + request; }).ok());
    EXPECT_TRUE(LocalSocketInstance::isRunning(kCaption));
    EXPECT_EQ(sendAndServe("exit").value(), "got exit");
}

} // namespace
