#include "InstanceChannel.h"

#include "SingleInstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>

#include <cstdint>
#include <cstdio>

namespace {

const QByteArray RaiseRequest = QByteArrayLiteral("raise\n");

// FNV-1a: the same value for the same text in every build.
std::uint64_t TextHash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

QString InstanceChannel::DefaultName() {
    return NameFor(DataFolderLock::ProgramDataFolder());
}

QString InstanceChannel::NameFor(const std::string& dataFolder) {
    char hash[18];
    std::snprintf(hash, sizeof hash, "-%016llx",
                  static_cast<unsigned long long>(TextHash(DataFolderLock::RealPath(dataFolder))));
    return QString::fromStdString(SingleInstanceLock::RuntimePath(hash + std::string(".socket")));
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
