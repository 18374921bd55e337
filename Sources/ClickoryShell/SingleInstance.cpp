// SPDX-License-Identifier: MIT
#include "ClickoryShell/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <unistd.h>

namespace clickory {

namespace {

QString runtimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    return QDir::tempPath();
}

// Messages are single lines of bounded length; anything longer is a misbehaving client.
constexpr qint64 maxMessageBytes = 4096;

} // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent), m_folder(folder.isEmpty() ? runtimeFolder() : std::move(folder))
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::socketPath() const
{
    // Outside a per-user runtime folder the user id keeps users apart.
    const bool shared = qEnvironmentVariable("XDG_RUNTIME_DIR").isEmpty() && m_folder == QDir::tempPath();
    const QString name =
        shared ? QStringLiteral("clickory-%1.socket").arg(::getuid()) : QStringLiteral("clickory.socket");
    return QDir(m_folder).filePath(name);
}

bool SingleInstance::acquire()
{
    if (m_server)
        return true;
    auto lock = std::make_unique<QLockFile>(socketPath() + QStringLiteral(".lock"));
    // A live owner keeps the lock forever; a dead owner's lock is stale at once.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
    {
        m_error = lock->error() == QLockFile::LockFailedError
                      ? QStringLiteral("Clickory is already running.")
                      : QStringLiteral("Could not take the lock in %1.").arg(m_folder);
        return false;
    }
    // We own the lock, so a socket file left behind by a crash is nobody's.
    QLocalServer::removeServer(socketPath());
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(socketPath()))
    {
        m_error = QStringLiteral("Could not listen on %1: %2").arg(socketPath(), server->errorString());
        delete server;
        return false;
    }
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    m_server = server;
    m_lock = std::move(lock);
    return true;
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection())
    {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() {
            while (socket->canReadLine())
            {
                const QString message = QString::fromUtf8(socket->readLine(maxMessageBytes)).trimmed();
                socket->write("ok\n");
                socket->flush();
                if (!message.isEmpty())
                    emit messageReceived(message);
            }
            if (socket->bytesAvailable() > maxMessageBytes)
                socket->abort();
        });
    }
}

bool SingleInstance::send(const QStringList& messages, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The first instance may still be starting: it takes the lock before it listens.
    for (;;)
    {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
        {
            m_error = QStringLiteral("The running Clickory does not answer: %1").arg(socket.errorString());
            return false;
        }
        QThread::msleep(50);
    }
    for (const QString& message : messages)
    {
        QString line = message;
        line.remove(QLatin1Char('\n'));
        socket.write(line.toUtf8() + '\n');
    }
    socket.flush();
    int answered = 0;
    while (answered < messages.size())
    {
        if (!socket.canReadLine() && !socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime()))))
        {
            m_error = QStringLiteral("The running Clickory did not confirm the request.");
            return false;
        }
        while (socket.canReadLine())
        {
            socket.readLine();
            ++answered;
        }
    }
    socket.disconnectFromServer();
    return true;
}

} // namespace clickory
