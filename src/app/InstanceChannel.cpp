#include "app/InstanceChannel.h"

#include "app/commands/ProfileFileCommands.h"
#include "app/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype longestSocketPath = 107;
// An argument is a path: anything longer is not one of ours.
constexpr qint64 longestArgument = 64 * 1024;
const QByteArray taken = "taken\n"_ba;

} // namespace

InstanceChannel::InstanceChannel(const QString& applicationDir, QObject* parent)
    : QObject(parent), path_(socketPath(applicationDir)) {}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::socketPath(const QString& applicationDir) {
    QString path = SingleInstance::lockFilePath(applicationDir);
    path.replace(path.size() - 5, 5, u".socket"_s);
    if (path.toLocal8Bit().size() > longestSocketPath)
        path = u"/tmp/"_s + QFileInfo(path).fileName();
    return path;
}

std::optional<QString> InstanceChannel::listen() {
    if (server_)
        return std::nullopt;
    auto* server = new QLocalServer(this);
    // Only this user's programs may hand files over.
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path_);
    if (!server->listen(path_)) {
        const QString problem = u"Files opened while Tarnwick runs cannot reach it (%1: %2)."_s.arg(
            QDir::toNativeSeparators(path_), server->errorString());
        delete server;
        return problem;
    }
    server_ = server;
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
            readFrom(socket);
        }
    });
    return std::nullopt;
}

void InstanceChannel::readFrom(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > longestArgument)
            socket->abort();
        return;
    }
    const QString argument = QString::fromUtf8(socket->readLine().chopped(1));
    socket->write(taken);
    socket->flush();
    socket->disconnectFromServer();
    Q_EMIT argumentHanded(argument);
}

bool InstanceChannel::handOver(const QString& applicationDir, const QString& argument,
                               int timeoutMs) {
    const QString path = socketPath(applicationDir);
    const QString handed = argument == commands::newProfileArgument
                               ? argument
                               : QFileInfo(argument).absoluteFilePath();
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The running copy listens just after it has taken the lock: it may not be listening yet.
    for (;;) {
        socket.connectToServer(path);
        if (socket.waitForConnected(int(deadline.remainingTime())))
            break;
        socket.abort();
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    socket.write(handed.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    while (!socket.canReadLine())
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    return socket.readLine() == taken;
}

} // namespace tarnwick
