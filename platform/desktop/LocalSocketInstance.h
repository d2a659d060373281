#pragma once
// One running copy per user and main-window caption: a local socket, reachable by the
// owner only, opened once the main window carries its caption (so a copy that is still
// loading is not found). The same socket carries the remote commands of later starts
// (`vorlix --exit`, `vorlix --say PHRASE`), one request line and one reply line each.
// Whatever clients do (stay connected without a word, connect by the thousand), the
// server keeps listening: idle clients are dropped, and at most kMaxClients are open.

#include "platform/common/Result.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QLocalServer;
class QLocalSocket;

class LocalSocketInstance : public QObject {
    Q_OBJECT
public:
    // Takes one request line, returns the reply line. Runs on the UI thread.
    using Handler = std::function<QString(const QString& request)>;

    // Clients open at once; further connections wait in the system's queue.
    static constexpr int kMaxClients = 32;

    // idleTimeoutMs: how long a client may stay connected without sending its line.
    explicit LocalSocketInstance(QObject* parent = nullptr, int idleTimeoutMs = 1000);
    ~LocalSocketInstance() override;

    // In the user's runtime folder, or in a private folder under /tmp where that path
    // would be longer than a socket address holds.
    static QString socketPath(const QString& caption);
    // Whether a running copy answers under caption.
    static bool isRunning(const QString& caption);
    // Sends one request to the running copy and waits up to timeoutMs for its reply.
    static Result<QString> send(const QString& caption, const QString& request, int timeoutMs);

    Result<void> listen(const QString& caption, Handler handler);
    bool isListening() const;
    void close();

private:
    Result<void> openServer();
    void acceptConnections();
    void serve(QLocalSocket* socket);
    void keepListening();

    QLocalServer* m_server = nullptr;
    QString m_caption;
    Handler m_handler;
    int m_idleTimeoutMs;
    int m_openClients = 0;
    QTimer m_watchdog;
};
