#include "twowaytables.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// Times keep their offset from UTC, as the centre gave it.
QVariant timeValue(const QDateTime &time)
{
    return time.isValid() ? QVariant(time.toString(Qt::ISODateWithMs)) : QVariant();
}

QDateTime timeOf(const QVariant &value)
{
    return value.isNull() ? QDateTime()
                          : QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
}

// "?, ?, ?" for n bound values.
QString placeholders(qsizetype n)
{
    QStringList marks(n, u"?"_s);
    return marks.join(u", "_s);
}

// Runs one statement; false with the database's reason.
bool run(QSqlQuery &query, const QString &sql, const QVariantList &values, QString *error)
{
    if (!query.prepare(sql)) {
        *error = query.lastError().text();
        return false;
    }
    for (qsizetype i = 0; i < values.size(); ++i)
        query.bindValue(int(i), values.at(i));
    if (!query.exec()) {
        *error = query.lastError().text();
        return false;
    }
    return true;
}

QVariantList idValues(const QList<qint64> &ids)
{
    QVariantList values;
    values.reserve(ids.size());
    for (qint64 id : ids)
        values.append(id);
    return values;
}

// Reads in chunks, as SQLite limits the number of bound values.
constexpr qsizetype kChunk = 500;

} // namespace

// ---------------------------------------------------------------- Deliveries

Deliveries::Deliveries(QSqlDatabase db) : m_db(std::move(db)) {}

bool Deliveries::fail(const QString &error) const
{
    m_lastError = error;
    return false;
}

bool Deliveries::prepareTable()
{
    QSqlQuery query(m_db);
    QString error;
    if (!run(query,
             u"CREATE TABLE IF NOT EXISTS Deliveries (LogRow INTEGER NOT NULL, "
             u"Part INTEGER NOT NULL, RecipientKey TEXT NOT NULL, Reference TEXT NOT NULL, "
             u"State INTEGER NOT NULL DEFAULT 0, ReportedAt TEXT, Detail TEXT, "
             u"PRIMARY KEY (LogRow, Part))"_s,
             {}, &error) ||
        !run(query,
             u"CREATE INDEX IF NOT EXISTS DeliveriesByReference ON Deliveries "
             u"(RecipientKey, Reference)"_s,
             {}, &error))
        return fail(error);
    m_lastError.clear();
    return true;
}

bool Deliveries::expectInTransaction(qint64 logRowId, const QList<ExpectedReport> &parts)
{
    QSqlQuery query(m_db);
    QString error;
    for (const ExpectedReport &part : parts) {
        if (!run(query,
                 u"INSERT OR REPLACE INTO Deliveries (LogRow, Part, RecipientKey, Reference) "
                 u"VALUES (?, ?, ?, ?)"_s,
                 {logRowId, part.part, part.recipientKey, part.reference}, &error))
            return fail(error);
    }
    return true;
}

std::optional<qint64> Deliveries::report(const QString &recipientKey, const QString &reference,
                                         DeliveryState state, const QDateTime &at,
                                         const QString &detail)
{
    QSqlQuery query(m_db);
    QString error;
    // Parts still waiting come first, the newest of them before older ones
    // (a reference of 0-255 is used again after a while).
    if (!run(query,
             u"SELECT LogRow, Part FROM Deliveries WHERE RecipientKey = ? AND Reference = ? "
             u"ORDER BY (State = 0) DESC, LogRow DESC, Part DESC LIMIT 1"_s,
             {recipientKey, reference}, &error)) {
        fail(error);
        return std::nullopt;
    }
    if (!query.next()) {
        m_lastError.clear();
        return 0;
    }
    const qint64 logRow = query.value(0).toLongLong();
    const int part = query.value(1).toInt();
    query.finish();
    if (!run(query,
             u"UPDATE Deliveries SET State = ?, ReportedAt = ?, Detail = ? "
             u"WHERE LogRow = ? AND Part = ?"_s,
             {int(state), timeValue(at), detail, logRow, part}, &error)) {
        fail(error);
        return std::nullopt;
    }
    m_lastError.clear();
    return logRow;
}

std::optional<QHash<qint64, DeliveryStatus>>
Deliveries::statusOf(const QList<qint64> &logRowIds) const
{
    QHash<qint64, DeliveryStatus> result;
    QHash<qint64, bool> allDelivered;
    QSqlQuery query(m_db);
    QString error;
    for (qsizetype first = 0; first < logRowIds.size(); first += kChunk) {
        const QList<qint64> chunk = logRowIds.mid(first, kChunk);
        if (!run(query,
                 u"SELECT LogRow, State, ReportedAt, Detail FROM Deliveries WHERE LogRow IN ("_s +
                     placeholders(chunk.size()) + u") ORDER BY LogRow, Part"_s,
                 idValues(chunk), &error)) {
            fail(error);
            return std::nullopt;
        }
        while (query.next()) {
            const qint64 row = query.value(0).toLongLong();
            const auto state = DeliveryState(query.value(1).toInt());
            const QDateTime at = timeOf(query.value(2));
            auto found = result.find(row);
            if (found == result.end()) {
                found = result.insert(row, DeliveryStatus{});
                allDelivered.insert(row, true);
            }
            DeliveryStatus &status = *found;
            if (status.state == DeliveryState::Failed)
                continue;
            if (state == DeliveryState::Failed) {
                status = DeliveryStatus{state, at, query.value(3).toString()};
                continue;
            }
            if (state != DeliveryState::Delivered) {
                allDelivered[row] = false;
                if (!query.value(3).isNull())
                    status.detail = query.value(3).toString();
            } else if (!status.at.isValid() || at > status.at) {
                status.at = at;
            }
        }
    }
    for (auto it = result.begin(); it != result.end(); ++it) {
        if (it->state != DeliveryState::Failed && allDelivered.value(it.key())) {
            it->state = DeliveryState::Delivered;
            it->detail.clear();
        } else if (it->state == DeliveryState::Pending) {
            it->at = QDateTime();
        }
    }
    m_lastError.clear();
    return result;
}

// --------------------------------------------------------------------- Inbox

Inbox::Inbox(QSqlDatabase db) : m_db(std::move(db)) {}

bool Inbox::fail(const QString &error) const
{
    m_lastError = error;
    return false;
}

bool Inbox::prepareTable()
{
    QSqlQuery query(m_db);
    QString error;
    if (!run(query,
             u"CREATE TABLE IF NOT EXISTS Inbox (Id INTEGER PRIMARY KEY, Sender TEXT NOT NULL, "
             u"Text TEXT NOT NULL, SentAt TEXT, ReceivedAt TEXT NOT NULL, "
             u"IsRead INTEGER NOT NULL DEFAULT 0, StopRequest INTEGER NOT NULL DEFAULT 0, "
             u"Incomplete INTEGER NOT NULL DEFAULT 0)"_s,
             {}, &error))
        return fail(error);
    m_lastError.clear();
    return true;
}

std::optional<qint64> Inbox::append(const InboxMessage &message)
{
    QSqlQuery query(m_db);
    QString error;
    if (!run(query,
             u"INSERT INTO Inbox (Sender, Text, SentAt, ReceivedAt, IsRead, StopRequest, "
             u"Incomplete) VALUES (?, ?, ?, ?, ?, ?, ?)"_s,
             {message.sender.isNull() ? u""_s : message.sender,
              message.text.isNull() ? u""_s : message.text, timeValue(message.sentAt),
              timeValue(message.receivedAt), int(message.read), int(message.stopRequest),
              int(message.incomplete)},
             &error)) {
        fail(error);
        return std::nullopt;
    }
    m_lastError.clear();
    return query.lastInsertId().toLongLong();
}

std::optional<QList<qint64>> Inbox::idsNewestFirst(qint64 before, int limit) const
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    QString error;
    // Two texts, so that a slice starts where the last ended (a range on the
    // rowid) instead of passing over the rows before it.
    const bool ok =
        before > 0
            ? run(query, u"SELECT Id FROM Inbox WHERE Id < ? ORDER BY Id DESC LIMIT ?"_s,
                  {before, limit}, &error)
            : run(query, u"SELECT Id FROM Inbox ORDER BY Id DESC LIMIT ?"_s, {limit}, &error);
    if (!ok) {
        fail(error);
        return std::nullopt;
    }
    QList<qint64> ids;
    while (query.next())
        ids.append(query.value(0).toLongLong());
    m_lastError.clear();
    return ids;
}

std::optional<QHash<qint64, InboxMessage>> Inbox::readById(const QList<qint64> &ids) const
{
    QHash<qint64, InboxMessage> result;
    QSqlQuery query(m_db);
    QString error;
    for (qsizetype first = 0; first < ids.size(); first += kChunk) {
        const QList<qint64> chunk = ids.mid(first, kChunk);
        if (!run(query,
                 u"SELECT Id, Sender, Text, SentAt, ReceivedAt, IsRead, StopRequest, Incomplete "
                 u"FROM Inbox WHERE Id IN ("_s +
                     placeholders(chunk.size()) + u')',
                 idValues(chunk), &error)) {
            fail(error);
            return std::nullopt;
        }
        while (query.next()) {
            const qint64 id = query.value(0).toLongLong();
            result.insert(id, InboxMessage{id, query.value(1).toString(), query.value(2).toString(),
                                           timeOf(query.value(3)), timeOf(query.value(4)),
                                           query.value(5).toBool(), query.value(6).toBool(),
                                           query.value(7).toBool()});
        }
    }
    m_lastError.clear();
    return result;
}

std::optional<int> Inbox::unreadCount() const
{
    QSqlQuery query(m_db);
    QString error;
    if (!run(query, u"SELECT COUNT(*) FROM Inbox WHERE IsRead = 0"_s, {}, &error) ||
        !query.next()) {
        fail(error.isEmpty() ? query.lastError().text() : error);
        return std::nullopt;
    }
    m_lastError.clear();
    return query.value(0).toInt();
}

bool Inbox::changeRows(const QString &sql, const QList<qint64> &ids)
{
    QSqlQuery query(m_db);
    QString error;
    for (qsizetype first = 0; first < ids.size(); first += kChunk) {
        const QList<qint64> chunk = ids.mid(first, kChunk);
        if (!run(query, sql + placeholders(chunk.size()) + u')', idValues(chunk), &error))
            return fail(error);
    }
    m_lastError.clear();
    return true;
}

bool Inbox::markRead(const QList<qint64> &ids)
{
    return changeRows(u"UPDATE Inbox SET IsRead = 1 WHERE Id IN ("_s, ids);
}

bool Inbox::remove(const QList<qint64> &ids)
{
    return changeRows(u"DELETE FROM Inbox WHERE Id IN ("_s, ids);
}

// ------------------------------------------------------------------ StopList

StopList::StopList(QSqlDatabase db) : m_db(std::move(db)) {}

bool StopList::fail(const QString &error) const
{
    m_lastError = error;
    return false;
}

bool StopList::isStopRequest(const QString &text)
{
    static const QRegularExpression stop(u"^\\s*(STOP|STOPP|STOP\\s+ALL)\\s*$"_s,
                                         QRegularExpression::CaseInsensitiveOption);
    return stop.match(text).hasMatch();
}

bool StopList::prepareTable()
{
    QSqlQuery query(m_db);
    QString error;
    if (!run(query,
             u"CREATE TABLE IF NOT EXISTS StopList (NumberKey TEXT PRIMARY KEY, "
             u"Number TEXT NOT NULL, Since TEXT, Reason TEXT)"_s,
             {}, &error))
        return fail(error);
    m_lastError.clear();
    return true;
}

bool StopList::add(const StopEntry &entry)
{
    QSqlQuery query(m_db);
    QString error;
    if (!run(query,
             u"INSERT OR REPLACE INTO StopList (NumberKey, Number, Since, Reason) "
             u"VALUES (?, ?, ?, ?)"_s,
             {entry.key, entry.number.isNull() ? u""_s : entry.number, timeValue(entry.since),
              entry.reason},
             &error))
        return fail(error);
    m_lastError.clear();
    return true;
}

bool StopList::remove(const QString &key)
{
    QSqlQuery query(m_db);
    QString error;
    if (!run(query, u"DELETE FROM StopList WHERE NumberKey = ?"_s, {key}, &error))
        return fail(error);
    m_lastError.clear();
    return true;
}

std::optional<StopEntry> StopList::find(const QString &key) const
{
    QSqlQuery query(m_db);
    QString error;
    if (!run(query, u"SELECT NumberKey, Number, Since, Reason FROM StopList WHERE NumberKey = ?"_s,
             {key}, &error)) {
        fail(error);
        return std::nullopt;
    }
    m_lastError.clear();
    if (!query.next())
        return StopEntry{};
    return StopEntry{query.value(0).toString(), query.value(1).toString(), timeOf(query.value(2)),
                     query.value(3).toString()};
}

std::optional<QList<QString>> StopList::listed(const QList<QString> &keys) const
{
    QList<QString> result;
    QSqlQuery query(m_db);
    QString error;
    for (qsizetype first = 0; first < keys.size(); first += kChunk) {
        const QList<QString> chunk = keys.mid(first, kChunk);
        QVariantList values(chunk.cbegin(), chunk.cend());
        if (!run(query,
                 u"SELECT NumberKey FROM StopList WHERE NumberKey IN ("_s +
                     placeholders(chunk.size()) + u')',
                 values, &error)) {
            fail(error);
            return std::nullopt;
        }
        while (query.next())
            result.append(query.value(0).toString());
    }
    m_lastError.clear();
    return result;
}

std::optional<QList<StopEntry>> StopList::all() const
{
    QSqlQuery query(m_db);
    QString error;
    if (!run(query, u"SELECT NumberKey, Number, Since, Reason FROM StopList ORDER BY Since DESC"_s,
             {}, &error)) {
        fail(error);
        return std::nullopt;
    }
    QList<StopEntry> entries;
    while (query.next())
        entries.append(StopEntry{query.value(0).toString(), query.value(1).toString(),
                                 timeOf(query.value(2)), query.value(3).toString()});
    m_lastError.clear();
    return entries;
}
