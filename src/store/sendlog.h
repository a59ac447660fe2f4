#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QTime>
#include <QVariant>
#include <optional>

#include "twowaytables.h"

// One row of the send log as it is stored. Date and time stay as stored
// values, so rows written by another tool are shown as they are.
struct LogRow
{
    QVariant versandDatum;
    QVariant versandZeit;
    QString mobilNummer; // the recipient
    QString nachricht;
    QString versandt;
    // Sent with a request for a delivery report: where the message stands.
    std::optional<DeliveryStatus> delivery = std::nullopt;
};

// The table VersandLog: rows are only ever appended, never changed. Like
// every store object it answers with bool or the rows read and keeps the
// reason of a failure in lastError().
class SendLog
{
public:
    explicit SendLog(QSqlDatabase db);

    bool append(const QDate &date, const QTime &time, const QString &recipient,
                const QString &nachricht, const QString &versandt);
    // The rowid of the row the last append() stored.
    qint64 lastAppended() const { return m_lastAppended; }
    // All rows in the order they were logged; none, and lastError() set,
    // when the table cannot be read.
    QList<LogRow> readAll() const;

    // Which rows a RowScan over the log finds: all, the ones logged "OK",
    // the others (refused, or logged by another tool without a status), the
    // ones whose every part was delivered, or those with a part that was
    // not. The last two need the table Deliveries (Deliveries::prepareTable).
    enum class Outcome { All, Sent, Refused, Delivered, NotDelivered };
    // The scan's query: rowid, a measure of the row's length (characters of
    // number, text and status) and, with texts, number and text.
    static QString scanSql(Outcome outcome, bool withTexts);
    // The rows with these rowids; nothing when the table cannot be read.
    std::optional<QHash<qint64, LogRow>> readByRowid(const QList<qint64> &rowids) const;
    // Why the last append or readAll failed; empty after a success.
    QString lastError() const { return m_lastError; }
    // The database file, for a connection of another thread to the same table.
    QString databasePath() const { return m_db.databaseName(); }

    static QString dateText(const QDate &date);
    static QString timeText(const QTime &time);

private:
    QSqlDatabase m_db;
    mutable QString m_lastError;
    qint64 m_lastAppended = 0;
};
