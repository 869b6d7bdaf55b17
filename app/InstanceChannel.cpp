#include "InstanceChannel.h"

#include "SingleInstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {

const QByteArray RaiseRequest = QByteArrayLiteral("raise\n");

} // namespace

QString InstanceChannel::DefaultName() {
    return NameFor(DataFolderLock::ProgramDataFolder());
}

QString InstanceChannel::NameFor(const std::string& dataFolder) {
    return SocketFor(DataFolderLock::RealPath(dataFolder));
}

QString InstanceChannel::NameForServer(const std::string& conninfo) {
    return SocketFor(SingleInstanceLock::ServerKey(conninfo));
}

QString InstanceChannel::SocketFor(const std::string& key) {
    return QString::fromStdString(
        SingleInstanceLock::RuntimePath('-' + SingleInstanceLock::KeyHash(key) + ".socket"));
}

InstanceChannel::InstanceChannel(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceChannel::Accept);
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::Listen() {
    QLocalServer::removeServer(name_);
    return server_->listen(name_);
}

void InstanceChannel::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine())
                if (socket->readLine() == RaiseRequest)
                    emit RaiseRequested();
            // Nothing else is ever sent: a long line without an end is no request.
            if (socket->bytesAvailable() > RaiseRequest.size())
                socket->abort();
        });
    }
}

bool InstanceChannel::AskToRaise(const QString& name, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(RaiseRequest);
    const bool written = socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return written;
}
