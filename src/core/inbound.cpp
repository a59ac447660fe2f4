#include "inbound.h"

#include "clock.h"
#include "nurziffern.h"
#include "phonekey.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QSet>

using namespace Qt::StringLiterals;

Inbound::Inbound(const QString &databasePath, const Clock *clock, QObject *parent)
    : QObject(parent),
      m_connection(std::make_unique<StoreConnection>(databasePath, u"Funkbote-Eingang"_s)),
      m_inbox(std::make_unique<Inbox>(m_connection->database())),
      m_stopList(std::make_unique<StopList>(m_connection->database())),
      m_deliveries(std::make_unique<Deliveries>(m_connection->database())), m_clock(clock)
{
    Q_ASSERT(clock);
    refreshUnread();
}

Inbound::~Inbound() = default;

QString Inbound::numberKey(const QString &number)
{
    if (const std::optional<QString> key = PhoneKey::key(number))
        return *key;
    return NurZiffern(QStringView(number));
}

bool Inbound::fail(const QString &error)
{
    Q_EMIT failed(QCoreApplication::translate("Inbound",
                                              "Empfangene Nachrichten und Zustellberichte können "
                                              "nicht gespeichert werden:\n%1")
                      .arg(error));
    return false;
}

bool Inbound::ready()
{
    // The tables are made when the first message or report comes, so a
    // file that never receives stays as it was.
    if (m_prepared)
        return true;
    if (!m_inbox->prepareTable())
        return fail(m_inbox->lastError());
    if (!m_stopList->prepareTable())
        return fail(m_stopList->lastError());
    if (!m_deliveries->prepareTable())
        return fail(m_deliveries->lastError());
    m_prepared = true;
    return true;
}

bool Inbound::receive(const QString &sender, const QString &text, const QDateTime &sentAt,
                      bool incomplete)
{
    if (!ready())
        return false;
    const bool stop = StopList::isStopRequest(text);
    const QDateTime now = m_clock->now();
    const std::optional<qint64> id =
        m_inbox->append(InboxMessage{0, sender, text, sentAt, now, false, stop, incomplete});
    if (!id)
        return fail(m_inbox->lastError());
    if (stop && !m_stopList->add(StopEntry{numberKey(sender), sender, now, text.trimmed()}))
        fail(m_stopList->lastError()); // the message itself is stored
    Q_EMIT received(*id);
    refreshUnread();
    return true;
}

bool Inbound::report(const QString &recipient, const QString &reference, DeliveryState state,
                     const QDateTime &at, const QString &detail)
{
    return storeReport(DeliveryReport{recipient, reference, state, at, detail});
}

bool Inbound::storeMessage(const ReceivedMessage &message)
{
    return receive(message.sender, message.text, message.sentAt, message.incomplete);
}

bool Inbound::storeReport(const DeliveryReport &report)
{
    const std::optional<qint64> logRow = match(report);
    if (!logRow)
        return false;
    if (*logRow == 0) {
        // Held in memory only: the centre and the modem do not send it
        // again, and its log row comes within moments or not at all.
        constexpr qsizetype mostKept = 100'000;
        if (m_unmatched.size() >= mostKept)
            m_unmatched.removeFirst();
        m_unmatched.append(Unmatched{report, m_clock->now()});
    }
    return true;
}

std::optional<qint64> Inbound::match(const DeliveryReport &report)
{
    if (!ready())
        return std::nullopt;
    const QString recipientKey = numberKey(report.recipient);
    std::optional<qint64> logRow;
    for (const QString &reference : QStringList{report.reference} + report.otherReferences) {
        logRow =
            m_deliveries->report(recipientKey, reference, report.state, report.at, report.detail);
        if (!logRow) {
            fail(m_deliveries->lastError());
            return std::nullopt;
        }
        if (*logRow != 0)
            break;
    }
    if (*logRow != 0)
        Q_EMIT deliveryChanged(*logRow);
    return logRow;
}

void Inbound::retryUnmatched()
{
    const QDateTime now = m_clock->now();
    QList<Unmatched> still;
    for (const Unmatched &kept : std::as_const(m_unmatched)) {
        if (kept.keptSince.msecsTo(now) > keepUnmatchedMs)
            continue;
        const std::optional<qint64> logRow = match(kept.report);
        if (!logRow)
            return; // the file fails: try again at the next row
        if (*logRow == 0)
            still.append(kept);
    }
    m_unmatched = still;
}

void Inbound::refreshUnread()
{
    // A file without the inbox has nothing unread.
    if (!m_connection->database().tables().contains(u"Inbox"_s))
        return;
    const std::optional<int> count = m_inbox->unreadCount();
    if (!count || *count == m_unread)
        return;
    m_unread = *count;
    Q_EMIT unreadChanged(m_unread);
}

StopEntry Inbound::stopEntry(const QString &number) const
{
    if (!m_connection->database().tables().contains(u"StopList"_s))
        return {};
    return m_stopList->find(numberKey(number)).value_or(StopEntry{});
}

QDateTime Inbound::stoppedSince(const QString &number) const
{
    const StopEntry entry = stopEntry(number);
    // A number listed without a date (another tool's row) is stopped too.
    if (entry.key.isEmpty())
        return QDateTime();
    return entry.since.isValid() ? entry.since : QDateTime::fromSecsSinceEpoch(0);
}

QStringList Inbound::withoutStopped(const QStringList &numbers) const
{
    if (!m_connection->database().tables().contains(u"StopList"_s))
        return numbers;
    QList<QString> keys;
    keys.reserve(numbers.size());
    for (const QString &number : numbers)
        keys.append(numberKey(number));
    const std::optional<QList<QString>> listed = m_stopList->listed(keys);
    if (!listed || listed->isEmpty())
        return numbers;
    const QSet<QString> stopped(listed->cbegin(), listed->cend());
    QStringList result;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (!stopped.contains(keys.at(i)))
            result.append(numbers.at(i));
    }
    return result;
}
