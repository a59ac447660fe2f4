#include "sendlog.h"

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

bool SendLog::append(const QDate &date, const QTime &time, const QString &mobilNummer,
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
    query.addBindValue(mobilNummer);
    query.addBindValue(nachricht);
    query.addBindValue(versandt);
    if (!query.exec()) {
        m_lastError = query.lastError().text();
        return false;
    }
    m_lastError.clear();
    return true;
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
    while (query.next()) {
        rows.append(LogRow{query.value(0), query.value(1), query.value(2).toString(),
                           query.value(3).toString(), query.value(4).toString()});
    }
    m_lastError.clear();
    return rows;
}
