#pragma once

#include "outgoingqueue.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class PendingMessages;
class Prompter;
class StoreConnection;

// The outgoing queue's journal in Daten.mdb (table PendingMessages, created
// when the file lacks it). restore() puts back what a crash or a power loss
// left there and says so in one box; from then on every entry is stored
// before it shows and dropped when the user removes it or quits with "Ja".
// When the table cannot be made or written, the user is told once and the
// program works on with the queue in memory only.
class StoredQueue : public QObject, public QueueJournal
{
    Q_OBJECT

public:
    StoredQueue(const QString &databasePath, OutgoingQueue *queue, Prompter *prompter,
                QObject *parent = nullptr);
    ~StoredQueue() override;

    // Opens the table, puts its entries back into the (empty) queue in their
    // order and becomes the queue's journal. Returns how many came back.
    int restore();
    // False while the queue is kept in memory only.
    bool isActive() const { return m_active; }

    bool store(const QList<QueueEntry> &entries) override;
    void drop(const QList<quint64> &ids) override;

    static QString restoredText(int count);
    static QString failureText(const QString &databasePath, const QString &error);

private:
    // Tells the user once, after the queue has finished what it is doing.
    void failed(const QString &error);

    QString m_databasePath;
    QPointer<OutgoingQueue> m_queue;
    Prompter *m_prompter;
    std::unique_ptr<StoreConnection> m_connection;
    std::unique_ptr<PendingMessages> m_table;
    bool m_active = false;
    bool m_failureTold = false;
};
