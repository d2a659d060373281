#include "platform/desktop/LocalSocketInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QRegularExpression>
#include <QFileInfo>

#include <unistd.h>

namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr qint64 kMaxRequestBytes = 64 * 1024;

QString runtimeFolder()
{
    // The user's runtime folder, or a private folder in /tmp where the session has none.
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !QFileInfo(base).isDir())
        base = QDir::temp().filePath(QStringLiteral("vorlix-%1").arg(getuid()));
    QDir().mkpath(base);
    // A folder someone else made in /tmp could hand our commands to their program.
    if (QFileInfo(base).ownerId() != getuid())
        base = QDir::home().filePath(QStringLiteral(".vorlix-runtime"));
    QDir().mkpath(base);
    QFile::setPermissions(base, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return base;
}

} // namespace

LocalSocketInstance::LocalSocketInstance(QObject* parent) : QObject(parent) {}

LocalSocketInstance::~LocalSocketInstance()
{
    close();
}

QString LocalSocketInstance::socketPath(const QString& caption)
{
    QString name = caption;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    return QDir(runtimeFolder()).filePath(QStringLiteral("vorlix-%1.socket").arg(name));
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
    const QString path = socketPath(caption);
    // A socket file without a server behind it is left over from a copy that crashed.
    if (!isRunning(caption))
        QLocalServer::removeServer(path);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        Error error{QStringLiteral("Cannot open %1: %2").arg(path, m_server->errorString())};
        delete m_server;
        m_server = nullptr;
        return error;
    }
    connect(m_server, &QLocalServer::newConnection, this, &LocalSocketInstance::acceptConnections);
    return {};
}

bool LocalSocketInstance::isListening() const
{
    return m_server && m_server->isListening();
}

void LocalSocketInstance::close()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
}

void LocalSocketInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxRequestBytes)
                    socket->abort();
                return;
            }
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
}
