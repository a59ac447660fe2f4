#include "outbox.h"

#include "gsmpdu.h"
#include "messagetext.h"

namespace {

bool acceptableCallBack(const QueueNumber &callBack)
{
    return callBack.isValid() || callBack.problem == QueueNumber::Problem::NoDigits;
}

void appendParts(QList<QueueEntry> &entries, const QStringList &parts, const QString &recipient,
                 const QString &callBack)
{
    for (const QString &part : parts)
        entries.append(QueueEntry{0, recipient, part, callBack});
}

} // namespace

Outbox::Outbox(OutgoingQueue *queue, QObject *parent) : QObject(parent), m_queue(queue)
{
    Q_ASSERT(queue);
}

void Outbox::setSplit(MessageSplit split, int partLimit)
{
    if (split == m_split && partLimit == m_partLimit)
        return;
    m_split = split;
    m_partLimit = partLimit;
    Q_EMIT splitChanged();
}

int Outbox::wholeParts(const QString &text)
{
    return Gsm::planMessage(toCrLf(text)).parts;
}

QStringList Outbox::entryTexts(const QString &text) const
{
    const QString crLf = toCrLf(text);
    if (m_split == MessageSplit::MarkedParts)
        return splitMessage(crLf);
    return crLf.isEmpty() ? QStringList() : QStringList{crLf};
}

QList<OutgoingQueue::EntryId> Outbox::append(const QList<QueueEntry> &entries, Origin origin)
{
    if (entries.isEmpty())
        return {};
    const QList<OutgoingQueue::EntryId> ids = m_queue->appendMany(entries);
    if (!ids.isEmpty())
        Q_EMIT queued(origin, ids);
    return ids;
}

Enqueued Outbox::enqueue(const QString &recipient, const QString &text, Origin origin)
{
    Enqueued result;
    result.number = queueNumber(recipient);
    result.callBack = queueNumber(m_callBackNumber);
    const QStringList parts = entryTexts(text);
    if (parts.isEmpty())
        result.refusal = Enqueued::Refusal::NoText;
    else if (m_split == MessageSplit::Whole && m_partLimit > 0 && wholeParts(text) > m_partLimit)
        result.refusal = Enqueued::Refusal::TooLong;
    else if (!result.number.isValid())
        result.refusal = Enqueued::Refusal::Number;
    else if (!acceptableCallBack(result.callBack))
        result.refusal = Enqueued::Refusal::CallBack;
    if (result.refusal != Enqueued::Refusal::None)
        return result;

    QList<QueueEntry> entries;
    entries.reserve(parts.size());
    appendParts(entries, parts, result.number.digits, result.callBack.digits);
    result.ids = append(entries, origin);
    return result;
}

int Outbox::enqueue(const QStringList &recipients, const QString &text, Origin origin)
{
    return enqueueEach(recipients, QStringList(recipients.size(), text), origin);
}

int Outbox::enqueueEach(const QStringList &recipients, const QStringList &texts, Origin origin)
{
    const QueueNumber callBack = queueNumber(m_callBackNumber);
    if (!acceptableCallBack(callBack))
        return 0;
    QList<QueueEntry> entries;
    entries.reserve(recipients.size());
    int count = 0;
    // A bulk run of the same text splits it once.
    QString lastText;
    QStringList parts;
    for (qsizetype i = 0; i < recipients.size() && i < texts.size(); ++i) {
        if (i == 0 || texts.at(i) != lastText) {
            lastText = texts.at(i);
            parts = entryTexts(lastText);
            if (m_split == MessageSplit::Whole && m_partLimit > 0 && !parts.isEmpty() &&
                wholeParts(lastText) > m_partLimit)
                parts.clear();
        }
        const QueueNumber number = queueNumber(recipients.at(i));
        if (!number.isValid() || parts.isEmpty())
            continue;
        appendParts(entries, parts, number.digits, callBack.digits);
        ++count;
    }
    append(entries, origin);
    return count;
}
