#pragma once

#include <QObject>
#include <QString>

#include <string>

class QLocalServer;

// The running copy of the program listens on a local socket in the user's
// runtime folder, named after its data folder (or its server catalog); a copy started on the same
// data folder while it runs asks it there to come to the front, then ends.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    // The socket of the copy on the program's data folder.
    static QString DefaultName();
    // The socket of the copy on a data folder.
    static QString NameFor(const std::string& dataFolder);
    // The socket of this user's copy on a catalog on a database server.
    static QString NameForServer(const std::string& conninfo);

    explicit InstanceChannel(QString name = DefaultName(), QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Starts listening; for the copy that holds the single-instance lock
    // only, so a socket left behind by a copy that crashed is taken over.
    bool Listen();

    // Asks the copy listening on name to come to the front; false when
    // none answers within timeoutMs.
    static bool AskToRaise(const QString& name = DefaultName(), int timeoutMs = 1000);

signals:
    void RaiseRequested();

private:
    static QString SocketFor(const std::string& key);
    void Accept();

    QString name_;
    QLocalServer* server_ = nullptr;
};
