#include "TChangeListener.h"

#include "CommandGuard.h"
#include "EngineCode.h"
#include "EngineConnection.h"
#include "TChangeWriter.h"
#include "TDatabase.h"
#include "TO_ci.h"

#include <QRegularExpression>
#include <QSocketNotifier>

TChangeListener::TChangeListener(QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    timer_.setInterval(DelayMilliseconds);
    connect(&timer_, &QTimer::timeout, this, CommandGuard::Slot([this] { Refresh(); }));
    // What the connection read along with the answer to a statement of its
    // own leaves the socket quiet: it is looked for now and then.
    poll_.setInterval(PollMilliseconds);
    connect(&poll_, &QTimer::timeout, this, CommandGuard::Slot([this] { Take(); }));
}

TChangeListener::~TChangeListener() = default;

bool TChangeListener::Start(const QString& databaseName) {
    Stop();
    TDatabase* database = TDatabase::Find(databaseName);
    EngineConnection* handle = database && database->IsConnected() ? database->Handle() : nullptr;
    if (!handle || handle->Listen(TChangeWriter::ChangesChannel()) != EngineCode::Ok)
        return false;
    const int socket = handle->NotificationSocket();
    if (socket < 0)
        return false;
    databaseName_ = databaseName;
    handle_ = handle;
    sender_ = TChangeWriter::Sender(handle);
    notifier_ = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this,
            CommandGuard::Slot([this] { Take(); }));
    poll_.start();
    return true;
}

void TChangeListener::Stop() {
    // Stop may run while the notifier tells of its socket.
    if (notifier_) {
        notifier_->setEnabled(false);
        notifier_.release()->deleteLater();
    }
    poll_.stop();
    handle_ = nullptr;
    sender_.clear();
}

void TChangeListener::Watch(TO_ci* list) {
    lists_.append(list);
}

EngineConnection* TChangeListener::Current() const {
    const TDatabase* database = handle_ ? TDatabase::Find(databaseName_) : nullptr;
    return database && database->IsConnected() && database->Handle() == handle_ ? handle_ : nullptr;
}

void TChangeListener::Take() {
    EngineConnection* handle = Current();
    // The connection closed: what arrives belongs to no one listening.
    if (!handle) {
        Stop();
        return;
    }
    bool heard = false;
    for (const EngineConnection::Notification& note : handle->TakeNotifications()) {
        if (note.Channel != TChangeWriter::ChangesChannel() ||
            TChangeWriter::SenderOf(note.Payload) == sender_)
            continue;
        tables_.insert(TChangeWriter::TableOf(note.Payload));
        heard = true;
    }
    // The rest of a burst arrives while the first waits.
    if (heard && !timer_.isActive())
        timer_.start();
}

void TChangeListener::Refresh() {
    if (tables_.isEmpty())
        return;
    QSet<QString> waiting;
    bool refreshed = false;
    for (const QPointer<TO_ci>& list : std::as_const(lists_)) {
        if (!list || !list->Q1.Active())
            continue;
        QSet<QString> shown;
        for (const QString& table : std::as_const(tables_)) {
            if (Shows(*list, table))
                shown.insert(table);
        }
        if (shown.isEmpty())
            continue;
        if (list->Q1.State() != TDataSetState::Browse) {
            waiting.unite(shown);
            continue;
        }
        list->Reopen();
        refreshed = true;
    }
    tables_ = waiting;
    if (!tables_.isEmpty())
        timer_.start();
    if (refreshed && Refreshed)
        Refreshed();
}

bool TChangeListener::Shows(const TO_ci& list, const QString& table) {
    if (table.compare(list.TableName, Qt::CaseInsensitive) == 0)
        return true;
    const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(table)),
                                  QRegularExpression::CaseInsensitiveOption);
    return list.Q1.SQL.join(QLatin1Char('\n')).contains(word);
}
