#pragma once

#include "partcollector.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

class IncomingSink;

// What a UCP session does with an operation the centre sends on its own: a
// delivery notification (53) becomes a DeliveryReport, an incoming message
// (52) a ReceivedMessage (its parts joined first), each handed to the sink;
// any other operation (an alert) needs nothing. The answer says whether it
// is kept: positive only once the sink has committed it, negative with
// temporaryRefusal when the sink could not store it, so that the centre
// sends it again later, and negative with 02 for a frame that cannot be
// read, so that the centre does not send it again and again.
class UcpInbound
{
public:
    // "04" (operation not allowed now): the centre keeps the item and
    // offers it again, as after any refusal that does not blame the frame.
    static constexpr QStringView temporaryRefusal = u"04";

    // The answer frame (TRN through checksum) for the operation frame; empty
    // for a frame that is no operation. Without a sink everything is
    // answered positively: nothing is to be kept. now dates the wait for
    // missing parts.
    QString answer(QByteArrayView frame, IncomingSink *sink, const QDateTime &now);

    // Parts of messages still waiting for the others.
    qsizetype pendingParts() const { return m_parts.pendingCount(); }

private:
    bool storeNotification(QByteArrayView frame, IncomingSink *sink, bool *readable);
    bool storeMessage(QByteArrayView frame, IncomingSink *sink, const QDateTime &now,
                      bool *readable);

    Gsm::PartCollector m_parts;
    // Joined messages the sink refused, by the key of their parts, so that
    // the centre's next offer of the last part stores them again.
    QMap<QString, Gsm::PartCollector::Message> m_unstored;
    // Incomplete messages given out after their wait that the sink refused.
    QList<Gsm::PartCollector::Message> m_expired;
};
