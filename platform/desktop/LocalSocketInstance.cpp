#include "platform/desktop/LocalSocketInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QRegularExpression>
#include <QFileInfo>

#include <utility>

#include <unistd.h>

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr qint64 kMaxRequestBytes = 64 * 1024;
constexpr int kWatchdogMs = 2000;
// sun_path holds 108 bytes with the closing NUL.
constexpr qsizetype kMaxSocketPathBytes = 107;

// A private folder in /tmp; /tmp itself rather than TMPDIR, which may be as long as the
// runtime folder it stands in for.
QString privateTemporaryFolder()
{
    QString base = QStringLiteral("/tmp/vorlix-%1").arg(getuid());
    QDir().mkpath(base);
    // A folder someone else made in /tmp could hand our commands to their program.
    if (QFileInfo(base).ownerId() != getuid()) {
        base = QDir::home().filePath(QStringLiteral(".vorlix-runtime"));
        QDir().mkpath(base);
    }
    QFile::setPermissions(base, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return base;
}

// The user's runtime folder, or a private folder in /tmp where the session has none.
QString runtimeFolder()
{
    const QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !QFileInfo(base).isDir())
        return privateTemporaryFolder();
    return base;
}

} // namespace

LocalSocketInstance::LocalSocketInstance(QObject* parent, int idleTimeoutMs)
    : QObject(parent), m_idleTimeoutMs(idleTimeoutMs)
{
    m_watchdog.setInterval(kWatchdogMs);
    connect(&m_watchdog, &QTimer::timeout, this, &LocalSocketInstance::keepListening);
}

LocalSocketInstance::~LocalSocketInstance()
{
    close();
}

QString LocalSocketInstance::socketPath(const QString& caption)
{
    QString name = caption;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    const QString fileName = QStringLiteral("vorlix-%1.socket").arg(name);
    const QString path = QDir(runtimeFolder()).filePath(fileName);
    if (QFile::encodeName(path).size() <= kMaxSocketPathBytes)
        return path;
    return QDir(privateTemporaryFolder()).filePath(fileName);
}

bool LocalSocketInstance::isRunning(const QString& caption)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(caption));
    const bool connected = socket.waitForConnected(kConnectTimeoutMs);
    socket.abort();
    return connected;
}

Result<QString> LocalSocketInstance::send(const QString& caption, const QString& request, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(caption));
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return Error{QStringLiteral("Vorlix is not running.")};

    QString line = request;
    line.replace(u'\n', u' ');
    socket.write(line.toUtf8() + '\n');
    socket.flush();
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return Error{QStringLiteral("Vorlix did not answer: %1").arg(socket.errorString())};
    }
    return QString::fromUtf8(socket.readLine()).trimmed();
}

Result<void> LocalSocketInstance::listen(const QString& caption, Handler handler)
{
    close();
    m_handler = std::move(handler);
    m_caption = caption;
    Result<void> opened = openServer();
    if (opened)
        m_watchdog.start();
    return opened;
}

Result<void> LocalSocketInstance::openServer()
{
    const QString path = socketPath(m_caption);
    // A socket file without a server behind it is left over from a copy that crashed.
    if (!isRunning(m_caption))
        QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Beyond this the server stops taking connections until one is served, so waiting
    // clients stay in the system's queue instead of using up our open files.
    m_server->setMaxPendingConnections(kMaxClients);
    if (!m_server->listen(path)) {
        Error error{QStringLiteral("Cannot open %1: %2").arg(path, m_server->errorString())};
        delete m_server;
        m_server = nullptr;
        return error;
    }
    connect(m_server, &QLocalServer::newConnection, this, &LocalSocketInstance::acceptConnections);
    return {};
}

// The server closes itself (and removes its socket file) when taking a connection fails,
// for instance when the process is out of open files: open it again.
void LocalSocketInstance::keepListening()
{
    if (m_server && m_server->isListening())
        return;
    if (m_server) {
        m_server->deleteLater();
        m_server = nullptr;
    }
    if (Result<void> reopened = openServer(); !reopened)
        qWarning("%s", qPrintable(reopened.error().message));
}

bool LocalSocketInstance::isListening() const
{
    return m_server && m_server->isListening();
}

void LocalSocketInstance::close()
{
    m_watchdog.stop();
    // Cleared first: the clients it deletes look at it on their way out.
    if (QLocalServer* server = std::exchange(m_server, nullptr)) {
        server->close();
        delete server;
    }
}

void LocalSocketInstance::acceptConnections()
{
    while (m_openClients < kMaxClients) {
        QLocalSocket* socket = m_server->nextPendingConnection();
        if (!socket)
            break;
        serve(socket);
    }
}

void LocalSocketInstance::serve(QLocalSocket* socket)
{
    ++m_openClients;
    // One line takes well under a second; a client that sends nothing must not hold its place.
    auto* idle = new QTimer(socket);
    idle->setSingleShot(true);
    connect(idle, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    idle->start(m_idleTimeoutMs);
    connect(socket, &QObject::destroyed, this, [this] {
        --m_openClients;
        if (m_server)
            acceptConnections();
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, idle] {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > kMaxRequestBytes)
                socket->abort();
            return;
        }
        idle->stop();
        const QString request = QString::fromUtf8(socket->readLine()).trimmed();
        // The handler may run a nested event loop (a phrase that opens a dialog);
        // the client may have gone meanwhile.
        QPointer<QLocalSocket> guard(socket);
        const QString reply = m_handler ? m_handler(request) : QString();
        if (guard) {
            guard->write(reply.toUtf8() + '\n');
            guard->flush();
            guard->disconnectFromServer();
        }
    });
}
