#pragma once
// One running copy per user and main-window caption: a local socket, reachable by the
// owner only, opened once the main window carries its caption (so a copy that is still
// loading is not found). The same socket carries the remote commands of later starts
// (`vorlix --exit`, `vorlix --say PHRASE`), one request line and one reply line each.

#include "platform/common/Result.h"

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

class LocalSocketInstance : public QObject {
    Q_OBJECT
public:
    // Takes one request line, returns the reply line. Runs on the UI thread.
    using Handler = std::function<QString(const QString& request)>;

    explicit LocalSocketInstance(QObject* parent = nullptr);
    ~LocalSocketInstance() override;

    static QString socketPath(const QString& caption);
    // Whether a running copy answers under caption.
    static bool isRunning(const QString& caption);
    // Sends one request to the running copy and waits up to timeoutMs for its reply.
    static Result<QString> send(const QString& caption, const QString& request, int timeoutMs);

    Result<void> listen(const QString& caption, Handler handler);
    bool isListening() const;
    void close();

private:
    void acceptConnections();

    QLocalServer* m_server = nullptr;
    Handler m_handler;
};
