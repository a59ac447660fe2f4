#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// One queued message as Daten.mdb keeps it. The id is the queue's own: it
// orders the rows and names the row that goes when the message is logged.
struct PendingMessage
{
    // How far the message went out before the program ended: its frame or
    // PDU is marked as submitted just before it is sent, and the mark goes
    // with the log row. A row still marked at the next start may have
    // reached the recipient, or not.
    enum class Submitted { No = 0, Whole = 1, FirstPart = 2 };

    qint64 id = 0;
    QString recipient;
    QString message;
    QString callBackNumber;
    Submitted submitted = Submitted::No;
};

// The table PendingMessages: a copy of the outgoing queue. A row is written
// before its entry shows in the queue, and deleted in the same transaction
// as the entry's send log row, so after a crash the rows are exactly the
// messages that were queued and not logged. Like every store object it
// answers with bool or what it read and keeps the reason of a failure in
// lastError().
class PendingMessages
{
public:
    explicit PendingMessages(QSqlDatabase db);

    // Creates the table when the file lacks it (a new file, or one of another
    // tool) and checks that it has the fields the program uses.
    bool prepareTable();
    // Adds rows in one transaction: all of them or none.
    bool insert(const QList<PendingMessage> &messages);
    // Deletes the rows of these ids in one transaction; ids without a row
    // are no failure.
    bool remove(const QList<qint64> &ids);
    // Deletes one row inside a transaction the caller holds (the send log
    // writer's, around the message's log row).
    bool removeInTransaction(qint64 id);
    // Inside the caller's transaction as well: the message keeps only the
    // text still to be sent, unmarked (its first part is logged).
    bool keepRestInTransaction(qint64 id, const QString &rest);
    // Marks a message as going out now (how much of it), committed when
    // this returns.
    bool markSubmitted(qint64 id, PendingMessage::Submitted how);
    // All rows in the order of their ids; nothing, and lastError() set, when
    // the table cannot be read.
    std::optional<QList<PendingMessage>> readAll() const;

    QString lastError() const { return m_lastError; }

private:
    bool fail(const QString &error) const;
    bool addSubmittedColumn();

    QSqlDatabase m_db;
    mutable QString m_lastError;
};
