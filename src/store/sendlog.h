#pragma once

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QTime>
#include <QVariant>

// One row of the send log as it is stored. Date and time stay as stored
// values, so rows written by another tool are shown as they are.
struct LogRow
{
    QVariant versandDatum;
    QVariant versandZeit;
    QString mobilNummer;
    QString nachricht;
    QString versandt;
};

// The table VersandLog: rows are only ever appended, never changed. Like
// every store object it answers with bool or the rows read and keeps the
// reason of a failure in lastError().
class SendLog
{
public:
    explicit SendLog(QSqlDatabase db);

    bool append(const QDate &date, const QTime &time, const QString &mobilNummer,
                const QString &nachricht, const QString &versandt);
    // All rows in the order they were logged; none, and lastError() set,
    // when the table cannot be read.
    QList<LogRow> readAll() const;
    // Why the last append or readAll failed; empty after a success.
    QString lastError() const { return m_lastError; }
    // The database file, for a connection of another thread to the same table.
    QString databasePath() const { return m_db.databaseName(); }

    static QString dateText(const QDate &date);
    static QString timeText(const QTime &time);

private:
    QSqlDatabase m_db;
    mutable QString m_lastError;
};
