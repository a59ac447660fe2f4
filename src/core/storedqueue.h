#pragma once

#include "outgoingqueue.h"
#include "pendingmessages.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class Clock;
class Prompter;
class StoreConnection;

// The outgoing queue's journal in Daten.mdb (table PendingMessages, created
// when the file lacks it). restore() puts back what a crash or a power loss
// left there and says so in one box; from then on every entry is stored
// before it shows and dropped when the user removes it or quits with "Ja".
// An entry that was marked as going out and has no log row may have reached
// the recipient: the user chooses whether those are sent again or logged
// with the status "unbekannt" (only their part that went out, for a long
// one sent in parts).
// When the table cannot be made or written, the user is told once and the
// program works on with the queue in memory only.
class StoredQueue : public QObject, public QueueJournal
{
    Q_OBJECT

public:
    StoredQueue(const QString &databasePath, OutgoingQueue *queue, Prompter *prompter,
                const Clock *clock, QObject *parent = nullptr);
    ~StoredQueue() override;

    // Opens the table, puts its entries back into the (empty) queue in their
    // order and becomes the queue's journal. Returns how many came back.
    int restore();
    // False while the queue is kept in memory only.
    bool isActive() const { return m_active; }

    bool store(const QList<QueueEntry> &entries) override;
    void drop(const QList<quint64> &ids) override;

    // The start's box: unsent entries are put back; doubtful ones may have
    // gone out already. unclean: the last run crashed or was killed, rather
    // than ended without questions.
    static QString restoredText(int unsent, int doubtful = 0, bool unclean = true);
    void setLastRunEndedUncleanly(bool unclean) { m_unclean = unclean; }
    // What the send log says of a message not sent again.
    static QString unknownStatus() { return QStringLiteral("unbekannt"); }
    static QString failureText(const QString &databasePath, const QString &error);

private:
    // Tells the user once, after the queue has finished what it is doing.
    void failed(const QString &error);
    // Logs the marked messages, which the user chose not to send again.
    bool logUnknown(const QList<PendingMessage> &rows);

    QString m_databasePath;
    QPointer<OutgoingQueue> m_queue;
    Prompter *m_prompter;
    const Clock *m_clock;
    bool m_unclean = true;
    std::unique_ptr<StoreConnection> m_connection;
    std::unique_ptr<PendingMessages> m_table;
    bool m_active = false;
    bool m_failureTold = false;
};
