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
//
// The ids are the messages' keys for other programs (which ask how a
// message they queued went): they are never given twice in one Daten.mdb.
// When a message leaves the queue with its log row, the table MessageKeys
// keeps which row that was.
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
    // writer's, around the message's log row logRow).
    bool removeInTransaction(qint64 id, qint64 logRow);
    // Inside the caller's transaction as well: the message keeps only the
    // text still to be sent, unmarked (its first part is logRow).
    bool keepRestInTransaction(qint64 id, const QString &rest, qint64 logRow);
    // Marks a message as going out now (how much of it), committed when
    // this returns.
    bool markSubmitted(qint64 id, PendingMessage::Submitted how);
    // All rows in the order of their ids; nothing, and lastError() set, when
    // the table cannot be read.
    std::optional<QList<PendingMessage>> readAll() const;
    // One row; nothing when there is none or it cannot be read (then
    // lastError() is set).
    std::optional<PendingMessage> read(qint64 id) const;
    // The first id never given in this file: above every queued message and
    // every message logged from the queue.
    std::optional<qint64> nextFreeId() const;
    // The log row of the message with this id, once it left the queue (the
    // last part's, for one sent in parts); 0 when it has none.
    std::optional<qint64> logRowOf(qint64 id) const;
    // The message whose (last) log row this is; 0 when none.
    std::optional<qint64> idOfLogRow(qint64 logRow) const;

    QString lastError() const { return m_lastError; }

private:
    bool fail(const QString &error) const;
    bool addSubmittedColumn();
    bool keepKey(qint64 id, qint64 logRow);
    std::optional<qint64> number(const QString &sql, qint64 value) const;

    QSqlDatabase m_db;
    mutable QString m_lastError;
};
