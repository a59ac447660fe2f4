#include "enqueue.h"

#include "messagetext.h"

namespace {

bool acceptableCallBack(const QueueNumber &callBack)
{
    return callBack.isValid() || callBack.problem == QueueNumber::Problem::NoDigits;
}

void appendParts(QList<QueueEntry> &entries, const QStringList &parts, const QString &number,
                 const QString &callBack)
{
    for (const QString &part : parts)
        entries.append(QueueEntry{0, number, part, callBack});
}

QStringList entryTexts(const QString &text, MessageSplit split)
{
    const QString crLf = toCrLf(text);
    if (split == MessageSplit::MarkedParts)
        return splitMessage(crLf);
    return crLf.isEmpty() ? QStringList() : QStringList{crLf};
}

} // namespace

Enqueued enqueueMessage(OutgoingQueue &queue, const QString &number, const QString &text,
                        const QString &callBack, MessageSplit split)
{
    Enqueued result;
    result.number = queueNumber(number);
    result.callBack = queueNumber(callBack);
    const QStringList parts = entryTexts(text, split);
    if (parts.isEmpty())
        result.refusal = Enqueued::Refusal::NoText;
    else if (!result.number.isValid())
        result.refusal = Enqueued::Refusal::Number;
    else if (!acceptableCallBack(result.callBack))
        result.refusal = Enqueued::Refusal::CallBack;
    if (result.refusal != Enqueued::Refusal::None)
        return result;

    QList<QueueEntry> entries;
    entries.reserve(parts.size());
    appendParts(entries, parts, result.number.digits, result.callBack.digits);
    result.ids = queue.appendMany(entries);
    return result;
}

int enqueueMessage(OutgoingQueue &queue, const QStringList &numbers, const QString &text,
                   const QString &callBack, MessageSplit split)
{
    const QueueNumber callBackNumber = queueNumber(callBack);
    const QStringList parts = entryTexts(text, split);
    if (parts.isEmpty() || !acceptableCallBack(callBackNumber))
        return 0;
    QList<QueueEntry> entries;
    entries.reserve(numbers.size() * parts.size());
    int recipients = 0;
    for (const QString &numberText : numbers) {
        const QueueNumber number = queueNumber(numberText);
        if (!number.isValid())
            continue;
        appendParts(entries, parts, number.digits, callBackNumber.digits);
        ++recipients;
    }
    queue.appendMany(entries);
    return recipients;
}

int enqueueMessages(OutgoingQueue &queue, const QStringList &numbers, const QStringList &texts,
                    const QString &callBack, MessageSplit split)
{
    const QueueNumber callBackNumber = queueNumber(callBack);
    if (!acceptableCallBack(callBackNumber))
        return 0;
    QList<QueueEntry> entries;
    entries.reserve(numbers.size());
    int recipients = 0;
    for (qsizetype i = 0; i < numbers.size() && i < texts.size(); ++i) {
        const QueueNumber number = queueNumber(numbers.at(i));
        const QStringList parts = entryTexts(texts.at(i), split);
        if (!number.isValid() || parts.isEmpty())
            continue;
        appendParts(entries, parts, number.digits, callBackNumber.digits);
        ++recipients;
    }
    if (!entries.isEmpty())
        queue.appendMany(entries);
    return recipients;
}
