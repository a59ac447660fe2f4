#include "ucpinbound.h"

#include "incoming.h"
#include "ucpmessaging.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace {

// A centre time stamp as the submission's result names it, ddMMyyhhmmss.
QString referenceOf(const QDateTime &scts)
{
    return scts.toString(u"ddMMyyHHmmss"_s);
}

DeliveryState stateOf(UcpDeliveryStatus status)
{
    switch (status) {
    case UcpDeliveryStatus::Delivered:
        return DeliveryState::Delivered;
    case UcpDeliveryStatus::Buffered:
        return DeliveryState::Pending;
    case UcpDeliveryStatus::NotDelivered:
        break;
    }
    return DeliveryState::Failed;
}

QString partKey(const UcpIncomingMessage &message)
{
    return message.sender + u'/' + QString::number(message.part->reference) + u'/' +
           QString::number(message.part->total);
}

ReceivedMessage receivedOf(const Gsm::PartCollector::Message &message)
{
    return ReceivedMessage{message.sender, message.text, message.sentAt, message.missingParts > 0};
}

} // namespace

QString UcpInbound::answer(QByteArrayView frame, IncomingSink *sink, const QDateTime &now)
{
    const UcpIncomingFrame operation = classifyUcpFrame(frame);
    bool readable = true;
    bool stored = true;
    switch (operation.kind) {
    case UcpIncomingFrame::Kind::Invalid:
    case UcpIncomingFrame::Kind::Result:
        return {};
    case UcpIncomingFrame::Kind::OtherOperation:
        break;
    case UcpIncomingFrame::Kind::DeliveryNotification:
        stored = storeNotification(frame, sink, &readable);
        break;
    case UcpIncomingFrame::Kind::IncomingMessage:
        stored = storeMessage(frame, sink, now, &readable);
        break;
    }
    if (!readable)
        return ucpOperationRefusal(operation, u"02");
    if (!stored)
        return ucpOperationRefusal(operation, temporaryRefusal);
    return ucpOperationAnswer(operation);
}

bool UcpInbound::storeNotification(QByteArrayView frame, IncomingSink *sink, bool *readable)
{
    const UcpNotification notification = parseUcpNotification(frame);
    if (!notification.valid) {
        *readable = false;
        return false;
    }
    if (!sink)
        return true;
    DeliveryReport report;
    // The notification names the message's recipient in OAdC and the
    // submission by the time stamp its result gave.
    report.recipient = notification.recipient;
    report.reference = referenceOf(notification.submitted);
    report.state = stateOf(notification.status);
    report.at =
        notification.statusTime.isValid() ? notification.statusTime : notification.submitted;
    if (notification.status != UcpDeliveryStatus::Delivered)
        report.detail = ucpReasonText(notification.reason);
    return sink->storeReport(report);
}

bool UcpInbound::storeMessage(QByteArrayView frame, IncomingSink *sink, const QDateTime &now,
                              bool *readable)
{
    const UcpIncomingMessage message = parseUcpIncomingMessage(frame);
    if (!message.valid) {
        *readable = false;
        return false;
    }
    if (!sink)
        return true;
    // Messages whose parts stopped coming a day ago go in as they are.
    // (Those the sink refused before are tried again with each message.)
    QList<Gsm::PartCollector::Message> expired = std::exchange(m_expired, {});
    expired += m_parts.takeExpired(now);
    for (const Gsm::PartCollector::Message &incomplete : std::as_const(expired)) {
        if (!sink->storeMessage(receivedOf(incomplete)))
            m_expired.append(incomplete);
    }
    if (!message.part)
        return sink->storeMessage(ReceivedMessage{message.sender, message.text, message.received});
    const QString key = partKey(message);
    // The last part again, after its whole message could not be stored.
    if (const auto held = m_unstored.constFind(key); held != m_unstored.cend()) {
        if (!sink->storeMessage(receivedOf(*held)))
            return false;
        m_unstored.erase(held);
        return true;
    }
    const Gsm::Concatenation part{message.part->reference, message.part->total,
                                  message.part->sequence};
    const std::optional<Gsm::PartCollector::Message> whole =
        m_parts.add(message.sender, part, message.text, message.received, now);
    // A part kept for its message counts as kept.
    if (!whole)
        return true;
    if (sink->storeMessage(receivedOf(*whole)))
        return true;
    m_unstored.insert(key, *whole);
    return false;
}
