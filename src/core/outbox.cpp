#include "outbox.h"

#include "messagetext.h"

#include <QSet>

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

void Outbox::setPlan(const MessagePlan &plan)
{
    if (plan == m_plan)
        return;
    m_plan = plan;
    Q_EMIT planChanged();
}

QStringList Outbox::entryTexts(const QString &text) const
{
    const QString crLf = toCrLf(text);
    if (m_plan.split == MessageSplit::MarkedParts)
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

Enqueued Outbox::enqueue(const QString &recipient, const QString &text, Origin origin,
                         StopListed stopListed)
{
    QList<QueueEntry> entries;
    Enqueued result = check(recipient, text, stopListed, &entries);
    if (result.refusal == Enqueued::Refusal::None)
        result.ids = append(entries, origin);
    return result;
}

Enqueued Outbox::check(const QString &recipient, const QString &text, StopListed stopListed,
                       QList<QueueEntry> *entries) const
{
    Enqueued result;
    result.number = queueNumber(recipient);
    result.callBack = queueNumber(m_callBackNumber);
    const QStringList parts = entryTexts(text);
    if (parts.isEmpty())
        result.refusal = Enqueued::Refusal::NoText;
    else if (m_plan.tooLong(toCrLf(text)))
        result.refusal = Enqueued::Refusal::TooLong;
    else if (!result.number.isValid())
        result.refusal = Enqueued::Refusal::Number;
    else if (!acceptableCallBack(result.callBack))
        result.refusal = Enqueued::Refusal::CallBack;
    else if (m_stopCheck && stopListed == StopListed::Refuse) {
        result.stoppedSince = m_stopCheck->stoppedSince(result.number.digits);
        if (result.stoppedSince.isValid())
            result.refusal = Enqueued::Refusal::Stopped;
    }
    if (result.refusal != Enqueued::Refusal::None)
        return result;
    appendParts(*entries, parts, result.number.digits, result.callBack.digits);
    return result;
}

QList<OutgoingQueue::EntryId> Outbox::reserveIds(const QList<QueueEntry> &entries)
{
    return m_queue->takeIds(int(entries.size()));
}

void Outbox::appendStored(const QList<QueueEntry> &entries, Origin origin)
{
    if (entries.isEmpty())
        return;
    m_queue->restore(entries);
    QList<OutgoingQueue::EntryId> ids;
    for (const QueueEntry &entry : entries)
        ids.append(entry.id);
    Q_EMIT queued(origin, ids);
}

int Outbox::enqueue(const QStringList &recipients, const QString &text, Origin origin, int *stopped)
{
    return enqueueEach(recipients, QStringList(recipients.size(), text), origin, stopped);
}

int Outbox::enqueueEach(const QStringList &recipients, const QStringList &texts, Origin origin,
                        int *stopped)
{
    if (stopped)
        *stopped = 0;
    const QueueNumber callBack = queueNumber(m_callBackNumber);
    if (!acceptableCallBack(callBack))
        return 0;
    // One look at the stop list for the whole run.
    QSet<QString> allowed;
    if (m_stopCheck) {
        QStringList digits;
        for (const QString &recipient : recipients) {
            if (const QueueNumber number = queueNumber(recipient); number.isValid())
                digits.append(number.digits);
        }
        const QStringList kept = m_stopCheck->withoutStopped(digits);
        allowed = QSet<QString>(kept.cbegin(), kept.cend());
    }
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
            if (m_plan.tooLong(toCrLf(lastText)))
                parts.clear();
        }
        const QueueNumber number = queueNumber(recipients.at(i));
        if (!number.isValid() || parts.isEmpty())
            continue;
        if (m_stopCheck && !allowed.contains(number.digits)) {
            if (stopped)
                ++*stopped;
            continue;
        }
        appendParts(entries, parts, number.digits, callBack.digits);
        ++count;
    }
    append(entries, origin);
    return count;
}
