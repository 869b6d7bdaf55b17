#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// The running copy of the program listens on a local socket in the user's
// runtime folder, beside the single-instance lock; a copy started while it
// runs asks it there to come to the front, then ends.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    // The socket every copy of the program uses.
    static QString DefaultName();

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
    void Accept();

    QString name_;
    QLocalServer* server_ = nullptr;
};
