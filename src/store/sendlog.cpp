#include "sendlog.h"

#include "rowpages.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

SendLog::SendLog(QSqlDatabase db) : m_db(std::move(db)) {}

QString SendLog::dateText(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

QString SendLog::timeText(const QTime &time)
{
    return time.toString(u"HH:mm:ss"_s);
}

bool SendLog::append(const QDate &date, const QTime &time, const QString &recipient,
                     const QString &nachricht, const QString &versandt)
{
    QSqlQuery query(m_db);
    // A missing table or column shows here, and its message says so; exec
    // would only complain about the parameters.
    if (!query.prepare(u"INSERT INTO VersandLog (VersandDatum, VersandZeit, MobilNummer, "
                       u"Nachricht, versandt) VALUES (?, ?, ?, ?, ?)"_s)) {
        m_lastError = query.lastError().text();
        return false;
    }
    query.addBindValue(dateText(date));
    query.addBindValue(timeText(time));
    query.addBindValue(recipient);
    query.addBindValue(nachricht);
    query.addBindValue(versandt);
    if (!query.exec()) {
        m_lastError = query.lastError().text();
        return false;
    }
    m_lastAppended = query.lastInsertId().toLongLong();
    m_lastError.clear();
    return true;
}

namespace {

LogRow logRowAt(const QSqlQuery &query, int first)
{
    return LogRow{query.value(first), query.value(first + 1), query.value(first + 2).toString(),
                  query.value(first + 3).toString(), query.value(first + 4).toString()};
}

} // namespace

QString SendLog::scanSql(Outcome outcome, bool withTexts)
{
    QString sql = u"SELECT rowid, ifnull(length(MobilNummer), 0) + ifnull(length(Nachricht), 0) "
                  u"+ ifnull(length(versandt), 0)"_s;
    if (withTexts)
        sql += u", MobilNummer, Nachricht"_s;
    sql += u" FROM VersandLog WHERE rowid > :after"_s;
    if (outcome == Outcome::Sent)
        sql += u" AND versandt = 'OK'"_s;
    else if (outcome == Outcome::Refused)
        sql += u" AND versandt IS NOT 'OK'"_s;
    else if (outcome == Outcome::Delivered)
        sql += u" AND rowid IN (SELECT LogRow FROM Deliveries GROUP BY LogRow "
               u"HAVING min(State) = 1 AND max(State) = 1)"_s;
    else if (outcome == Outcome::NotDelivered)
        sql += u" AND rowid IN (SELECT LogRow FROM Deliveries WHERE State = 2)"_s;
    return sql + u" ORDER BY rowid LIMIT :limit"_s;
}

std::optional<QHash<qint64, LogRow>> SendLog::readByRowid(const QList<qint64> &rowids) const
{
    std::optional<QHash<qint64, LogRow>> rows = ::readByRowid<LogRow>(
        m_db, u"VersandDatum, VersandZeit, MobilNummer, Nachricht, versandt FROM VersandLog"_s,
        rowids, [](const QSqlQuery &query) { return logRowAt(query, 1); }, &m_lastError);
    // A file from before reports were asked for has no table of them.
    if (!rows || !m_db.tables().contains(u"Deliveries"_s))
        return rows;
    const Deliveries deliveries(m_db);
    const std::optional<QHash<qint64, DeliveryStatus>> states = deliveries.statusOf(rows->keys());
    if (!states) {
        m_lastError = deliveries.lastError();
        return std::nullopt;
    }
    for (auto it = states->cbegin(); it != states->cend(); ++it) {
        if (const auto row = rows->find(it.key()); row != rows->end())
            row->delivery = it.value();
    }
    return rows;
}

QList<LogRow> SendLog::readAll() const
{
    QList<LogRow> rows;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT VersandDatum, VersandZeit, MobilNummer, Nachricht, versandt "
                       u"FROM VersandLog ORDER BY rowid"_s) ||
        !query.exec()) {
        m_lastError = query.lastError().text();
        return rows;
    }
    while (query.next())
        rows.append(logRowAt(query, 0));
    m_lastError.clear();
    return rows;
}
