#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class EngineConnection;
class QSocketNotifier;
class TO_ci;

// Hears the writes that other clients of the catalog announce and reads
// the lists that show the written tables again, back on their current
// records. A burst of writes reads each list once, DelayMilliseconds after
// the first; a list whose record is being edited is left alone until the
// edit ends. What this program writes itself it does not hear.
class TChangeListener : public QObject {
    Q_OBJECT

public:
    static constexpr int DelayMilliseconds = 200;
    static constexpr int PollMilliseconds = 500;

    explicit TChangeListener(QObject* parent = nullptr);
    ~TChangeListener() override;

    // Listens on the connection of that name as it is now (again after it
    // connected anew); false when it cannot hear announcements.
    bool Start(const QString& databaseName);
    void Stop();
    void Watch(TO_ci* list);

    // Takes the announcements that have arrived.
    void Take();
    // Reads the affected lists again now; those being edited stay pending.
    void Refresh();
    // Whether tables wait to be shown by the lists.
    bool Pending() const { return !tables_.isEmpty(); }

    // Whether the list shows rows of table.
    static bool Shows(const TO_ci& list, const QString& table);

    // Told after lists were read again.
    std::function<void()> Refreshed;

private:
    // The connection listened on, while it is the named database's.
    EngineConnection* Current() const;

    QString databaseName_;
    EngineConnection* handle_ = nullptr;
    QString sender_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QList<QPointer<TO_ci>> lists_;
    QSet<QString> tables_;
    QTimer timer_;
    QTimer poll_;
};
