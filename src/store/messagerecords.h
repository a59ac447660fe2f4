#pragma once

#include "pendingmessages.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

// Where a message queued by its id stands, as another program asks for it.
// The state names are those of the program's D-Bus interface and command
// line, which scripts compare; the detail is for people, in their language.
struct MessageState
{
    enum class State { Queued, Sending, Sent, Refused, Delivered, NotDelivered, Unknown };

    State state = State::Unknown;
    QString detail;

    // "queued", "sending", "sent", "refused", "delivered", "not delivered",
    // "unknown".
    QString name() const;
};

// Reads the state of queued and logged messages from Daten.mdb: the queue's
// copy (PendingMessages), the key of each message logged from it
// (MessageKeys), its log row and the delivery reports of that row. Used
// where no program runs the queue (the command line reads the file), and by
// a running one for the messages that have left its queue.
class MessageRecords
{
public:
    explicit MessageRecords(QSqlDatabase db);

    // Nothing, and lastError() set, when the file cannot be read.
    std::optional<MessageState> stateOf(qint64 id) const;
    // What a log row says of its message (its status and its reports).
    std::optional<MessageState> stateOfLogRow(qint64 logRow) const;
    // The messages waiting in the stored queue, in their order.
    std::optional<QList<PendingMessage>> queued() const;

    QString lastError() const { return m_lastError; }

private:
    bool tablesExist() const;

    QSqlDatabase m_db;
    mutable QString m_lastError;
};
