#include "partcollector.h"

#include <algorithm>
#include <vector>

namespace Gsm {

std::optional<PartCollector::Message> PartCollector::add(const DeliverPdu &sms,
                                                         const QDateTime &now)
{
    if (!sms.part)
        return Message{sms.sender, sms.sentAt, sms.text, 0};
    return add(sms.sender, *sms.part, sms.text, sms.sentAt, now);
}

std::optional<PartCollector::Message>
PartCollector::add(const QString &sender, const Concatenation &part, const QString &text,
                   const QDateTime &sentAt, const QDateTime &now)
{
    if (part.total <= 1 || part.sequence < 1 || part.sequence > part.total)
        return Message{sender, sentAt, text, 0};
    const Key key{sender, part.reference, part.total};
    auto it = m_pending.find(key);
    if (it == m_pending.end())
        it = m_pending.emplace(key, Pending{now, QDateTime(), {}}).first;
    Pending &pending = it->second;
    if (pending.texts.contains(part.sequence))
        return std::nullopt;
    pending.texts.insert(part.sequence, text);
    if (sentAt.isValid() && (!pending.sentAt.isValid() || sentAt < pending.sentAt))
        pending.sentAt = sentAt;
    if (pending.texts.size() < part.total)
        return std::nullopt;
    const Message message = join(key, pending);
    m_pending.erase(it);
    return message;
}

QList<PartCollector::Message> PartCollector::takeExpired(const QDateTime &now)
{
    std::vector<std::map<Key, Pending>::iterator> expired;
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
        if (it->second.firstCame.secsTo(now) >= maxWaitSecs)
            expired.push_back(it);
    }
    std::stable_sort(expired.begin(), expired.end(), [](const auto &a, const auto &b) {
        return a->second.firstCame < b->second.firstCame;
    });
    QList<Message> messages;
    for (const auto &it : expired) {
        messages.append(join(it->first, it->second));
        m_pending.erase(it);
    }
    return messages;
}

PartCollector::Message PartCollector::join(const Key &key, const Pending &pending)
{
    Message message{key.sender, pending.sentAt, QString(), 0};
    for (int sequence = 1; sequence <= key.total; ++sequence) {
        const auto found = pending.texts.constFind(sequence);
        if (found == pending.texts.cend()) {
            message.text += missingMark();
            ++message.missingParts;
        } else {
            message.text += *found;
        }
    }
    return message;
}

} // namespace Gsm
