#pragma once

#include "connectionkinds.h"
#include "enqueue.h"
#include "outgoingqueue.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

// The numbers that asked not to get any more messages (a STOP reply).
class StopCheck
{
public:
    virtual ~StopCheck() = default;
    // Since when the number is on the stop list; invalid when it is not.
    virtual QDateTime stoppedSince(const QString &number) const = 0;
    // The numbers that are not on the list, in their order.
    virtual QStringList withoutStopped(const QStringList &numbers) const = 0;
};

// The one door into the outgoing queue. Whoever queues a message (the main
// window's send button, a bulk SMS, a message sent again from the archive,
// later other programs) goes through here, so every entry gets the same
// treatment: the numbers as queueNumber makes them (blanks and separators
// dropped, a leading "+" as "00"), the current call-back number, the text
// with its line breaks as CR LF, and the split the chosen connection kind
// needs (marked parts of one SMS each, or the message whole up to the
// kind's part limit).
class Outbox : public QObject
{
    Q_OBJECT

public:
    // Who put a message in; told with queued() so that a caller can tell its
    // own entries from those of others.
    enum class Origin { Window, Bulk, Archive, Program };
    Q_ENUM(Origin)

    explicit Outbox(OutgoingQueue *queue, QObject *parent = nullptr);

    OutgoingQueue *queue() const { return m_queue; }

    // The call-back number every message goes out with (the main window's
    // TXTRueckrufNummer, or the stored one when no window runs). It is
    // checked as each message is queued, not here.
    void setCallBackNumber(const QString &number) { m_callBackNumber = number; }
    QString callBackNumber() const { return m_callBackNumber; }

    // How long messages go in for the connection kind now chosen: in marked
    // parts, or whole up to the kind's limit of SMS.
    void setPlan(const MessagePlan &plan);
    const MessagePlan &plan() const { return m_plan; }
    // Numbers on the stop list are left out of bulk runs and refused for a
    // single message unless the user confirms; nullptr: no list.
    void setStopCheck(const StopCheck *check) { m_stopCheck = check; }

    enum class StopListed { Refuse, SendAnyway };
    // One message for one recipient. Queues nothing, and says why, when the
    // text is empty or longer than the part limit, the number has no digit
    // or holds anything queueNumber refuses, the call-back number holds
    // anything it refuses (an empty one is fine), or the recipient is on the
    // stop list and the user has not confirmed (SendAnyway).
    Enqueued enqueue(const QString &recipient, const QString &text, Origin origin,
                     StopListed stopListed = StopListed::Refuse);
    // The checks of enqueue() alone: the entries the message would make go
    // to *entries (without ids) unless it is refused.
    Enqueued check(const QString &recipient, const QString &text, StopListed stopListed,
                   QList<QueueEntry> *entries) const;
    // Ids for entries that are stored elsewhere first (another program's
    // messages, written on a thread of their own), and their append once
    // they are: in their order, with queued().
    QList<OutgoingQueue::EntryId> reserveIds(const QList<QueueEntry> &entries);
    void appendStored(const QList<QueueEntry> &entries, Origin origin);

    // The same message for several recipients, in their order, as one step
    // of the queue (a bulk run may queue thousands). Recipients whose number
    // is refused or on the stop list are left out (how many of the latter:
    // *stopped); a refused text or call-back number queues nothing. Returns
    // how many recipients got the message.
    int enqueue(const QStringList &recipients, const QString &text, Origin origin,
                int *stopped = nullptr);
    // A text of its own for each recipient (merge fields): texts[i] goes to
    // recipients[i], as one step. A recipient whose number or text is
    // refused, or who is on the stop list, is left out. Returns how many got
    // their text.
    int enqueueEach(const QStringList &recipients, const QStringList &texts, Origin origin,
                    int *stopped = nullptr);

Q_SIGNALS:
    // Entries went into the queue through this door.
    void queued(Outbox::Origin origin, const QList<OutgoingQueue::EntryId> &ids);
    void planChanged();

private:
    // The entries of one message, or none when its text cannot go in.
    QStringList entryTexts(const QString &text) const;
    QList<OutgoingQueue::EntryId> append(const QList<QueueEntry> &entries, Origin origin);

    OutgoingQueue *m_queue;
    QString m_callBackNumber;
    // That of the kind a file without connection settings has.
    MessagePlan m_plan = ConnectionKinds::of(ConnectionValues().kind).plan;
    const StopCheck *m_stopCheck = nullptr;
};
