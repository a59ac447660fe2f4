#pragma once

#include "gsmreceive.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <map>
#include <optional>

namespace Gsm {

// Puts the parts of concatenated messages back together, whatever order
// they come in. Parts belong together when sender, reference and total
// agree; a part that came before is ignored. A message whose parts do not
// all come within 24 hours of its first is given out as it is, a mark in
// place of each missing part, so that nothing received is lost. The
// collector has no clock: the caller passes the time with each call. It
// keeps parts in memory only; a caller that deletes parts from the SIM as
// it reads them loses those of unfinished messages when the program ends.
class PartCollector
{
public:
    static constexpr qint64 maxWaitSecs = 24 * 60 * 60;
    // Stands in a message for each part that never came.
    static QString missingMark() { return QStringLiteral("[…]"); }

    // A whole message, or what came of it.
    struct Message
    {
        QString sender;
        // The earliest valid centre time of its parts.
        QDateTime sentAt;
        QString text;
        // Parts that never came; 0 for a complete message.
        int missingParts = 0;
    };

    // Takes one received SMS at time now. Gives the whole message when the
    // SMS is not a part, or when it completes its message; nothing while
    // parts are still missing and for a part that came before.
    std::optional<Message> add(const DeliverPdu &sms, const QDateTime &now);
    std::optional<Message> add(const QString &sender, const Concatenation &part,
                               const QString &text, const QDateTime &sentAt, const QDateTime &now);

    // Gives out, oldest first, the messages whose first part came 24 hours
    // or more before now, each missing part marked.
    QList<Message> takeExpired(const QDateTime &now);

    // Messages still waiting for parts.
    qsizetype pendingCount() const { return qsizetype(m_pending.size()); }

private:
    struct Key
    {
        QString sender;
        int reference = 0;
        int total = 0;
        bool operator<(const Key &other) const
        {
            if (sender != other.sender)
                return sender < other.sender;
            if (reference != other.reference)
                return reference < other.reference;
            return total < other.total;
        }
    };
    struct Pending
    {
        QDateTime firstCame;
        QDateTime sentAt;
        QMap<int, QString> texts; // by sequence number
    };

    static Message join(const Key &key, const Pending &pending);

    std::map<Key, Pending> m_pending;
};

} // namespace Gsm
