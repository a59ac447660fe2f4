#pragma once

#include "outgoingqueue.h"
#include "queuenumber.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// What the queue's door (Outbox) did with one message: the entries it appended, or why
// it appended none. The two numbers are what queueNumber made of the texts
// given, so a window can tell the user which one it refused and where.
struct Enqueued
{
    enum class Refusal {
        None,
        NoText,   // the message is empty
        Number,   // the mobile number: see `number`
        CallBack, // the call-back number: see `callBack`
        TooLong,  // sent whole, the message would take more SMS than allowed
        Stopped,  // the recipient asked not to get messages: see `stoppedSince`
    };

    Refusal refusal = Refusal::None;
    QueueNumber number;
    QueueNumber callBack;
    QList<OutgoingQueue::EntryId> ids;
    QDateTime stoppedSince;
};

// How a long message goes into the queue: cut into marked parts of at most
// 160 characters, one entry each (a message centre dialled or reached over
// TCP/IP takes one SMS per operation), or whole as one entry (a GSM modem
// sends it as one concatenated SMS, which the phone joins).
enum class MessageSplit { MarkedParts, Whole };
