#pragma once

#include "outgoingqueue.h"
#include "queuenumber.h"

#include <QList>
#include <QString>
#include <QStringList>

// What enqueueMessage did with one message: the entries it appended, or why
// it appended none. The two numbers are what queueNumber made of the texts
// given, so a window can tell the user which one it refused and where.
struct Enqueued
{
    enum class Refusal {
        None,
        NoText,   // the message is empty
        Number,   // the mobile number: see `number`
        CallBack, // the call-back number: see `callBack`
    };

    Refusal refusal = Refusal::None;
    QueueNumber number;
    QueueNumber callBack;
    QList<OutgoingQueue::EntryId> ids;
};

// How a long message goes into the queue: cut into marked parts of at most
// 160 characters, one entry each (a message centre dialled or reached over
// TCP/IP takes one SMS per operation), or whole as one entry (a GSM modem
// sends it as one concatenated SMS, which the phone joins).
enum class MessageSplit { MarkedParts, Whole };

// The one way into the queue. The message goes in with its line breaks as
// CR LF and is split when it is longer than one SMS; the numbers go in as
// queueNumber makes them (blanks and separators dropped, a leading "+" as
// "00"). A mobile number without a digit or with anything queueNumber
// refuses queues nothing; the call-back number may be empty or hold no
// digit, anything else it refuses queues nothing as well. An empty message
// queues nothing.
Enqueued enqueueMessage(OutgoingQueue &queue, const QString &number, const QString &text,
                        const QString &callBack, MessageSplit split = MessageSplit::MarkedParts);

// The same message for several recipients, in the given order, with one
// notification of the queue for the whole run (a bulk run may mark thousands).
// A number that enqueueMessage would refuse is left out; with a call-back
// number or a text it would refuse nothing is queued. Returns how many
// recipients got the message.
int enqueueMessage(OutgoingQueue &queue, const QStringList &numbers, const QString &text,
                   const QString &callBack, MessageSplit split = MessageSplit::MarkedParts);

// A personal text for each recipient (bulk SMS with merge fields): texts[i]
// goes to numbers[i], as enqueueMessage would queue it, in this order and
// with one notification of the queue for the whole run. A recipient whose
// number enqueueMessage would refuse, or whose text is empty, is left out;
// with a call-back number it would refuse nothing is queued. Returns how
// many recipients got their text.
int enqueueMessages(OutgoingQueue &queue, const QStringList &numbers, const QStringList &texts,
                    const QString &callBack, MessageSplit split = MessageSplit::MarkedParts);
