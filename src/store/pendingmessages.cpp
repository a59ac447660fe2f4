#include "pendingmessages.h"

#include "schema.h"
#include "storetransaction.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

namespace {

// A row of "SELECT Id, MobileNumber, Message, CallBackNumber, Submitted".
PendingMessage rowAt(const QSqlQuery &query)
{
    // A value this program does not write counts as a whole message.
    const int submitted = query.value(4).toInt();
    const auto how = submitted == 0   ? PendingMessage::Submitted::No
                     : submitted == 2 ? PendingMessage::Submitted::FirstPart
                                      : PendingMessage::Submitted::Whole;
    return PendingMessage{query.value(0).toLongLong(), query.value(1).toString(),
                          query.value(2).toString(), query.value(3).toString(), how};
}

} // namespace

PendingMessages::PendingMessages(QSqlDatabase db) : m_db(std::move(db)) {}

bool PendingMessages::fail(const QString &error) const
{
    m_lastError = error;
    return false;
}

bool PendingMessages::prepareTable()
{
    QSqlQuery query(m_db);
    // NOT NULL: a half-written row can never come back as an entry without
    // a number or text.
    if (!query.prepare(u"CREATE TABLE IF NOT EXISTS PendingMessages (Id INTEGER PRIMARY KEY, "
                       u"MobileNumber TEXT NOT NULL, Message TEXT NOT NULL, "
                       u"CallBackNumber TEXT NOT NULL)"_s) ||
        !query.exec())
        return fail(query.lastError().text());
    if (!addSubmittedColumn())
        return false;
    if (!query.prepare(u"CREATE TABLE IF NOT EXISTS MessageKeys (Id INTEGER PRIMARY KEY, "
                       u"LogRow INTEGER NOT NULL)"_s) ||
        !query.exec())
        return fail(query.lastError().text());
    if (!query.prepare(
            u"CREATE INDEX IF NOT EXISTS MessageKeysByLogRow ON MessageKeys (LogRow)"_s) ||
        !query.exec())
        return fail(query.lastError().text());
    const QSqlRecord record = m_db.record(Schema::pendingMessages);
    for (const QString &field : {Schema::pendingId, Schema::mobileNumber, Schema::message,
                                 Schema::callBackNumber, Schema::submitted}) {
        if (record.indexOf(field) < 0)
            return fail(QCoreApplication::translate("PendingMessages",
                                                    "In der Tabelle \"%1\" fehlt das Feld \"%2\".")
                            .arg(Schema::pendingMessages, field));
    }
    m_lastError.clear();
    return true;
}

bool PendingMessages::addSubmittedColumn()
{
    // A file written before messages were marked lacks the column; every row
    // in it counts as never submitted.
    if (m_db.record(Schema::pendingMessages).indexOf(Schema::submitted) >= 0)
        return true;
    QSqlQuery query(m_db);
    if (!query.prepare(u"ALTER TABLE PendingMessages ADD COLUMN Submitted INTEGER NOT NULL "
                       u"DEFAULT 0"_s) ||
        !query.exec())
        return fail(query.lastError().text());
    return true;
}

bool PendingMessages::insert(const QList<PendingMessage> &messages)
{
    StoreTransaction transaction(m_db);
    if (!transaction.isActive())
        return fail(transaction.error());
    QSqlQuery query(m_db);
    if (!query.prepare(u"INSERT INTO PendingMessages (Id, MobileNumber, Message, CallBackNumber) "
                       u"VALUES (?, ?, ?, ?)"_s))
        return fail(query.lastError().text());
    for (const PendingMessage &message : messages) {
        query.bindValue(0, message.id);
        // Never NULL: an empty call-back number is an empty text.
        query.bindValue(1, message.recipient.isNull() ? u""_s : message.recipient);
        query.bindValue(2, message.message.isNull() ? u""_s : message.message);
        query.bindValue(3, message.callBackNumber.isNull() ? u""_s : message.callBackNumber);
        if (!query.exec())
            return fail(query.lastError().text());
    }
    if (!transaction.commit())
        return fail(transaction.error());
    m_lastError.clear();
    return true;
}

bool PendingMessages::remove(const QList<qint64> &ids)
{
    StoreTransaction transaction(m_db);
    if (!transaction.isActive())
        return fail(transaction.error());
    QSqlQuery query(m_db);
    if (!query.prepare(u"DELETE FROM PendingMessages WHERE Id = ?"_s))
        return fail(query.lastError().text());
    for (const qint64 id : ids) {
        query.bindValue(0, id);
        if (!query.exec())
            return fail(query.lastError().text());
    }
    if (!transaction.commit())
        return fail(transaction.error());
    m_lastError.clear();
    return true;
}

bool PendingMessages::removeInTransaction(qint64 id, qint64 logRow)
{
    QSqlQuery query(m_db);
    if (!query.prepare(u"DELETE FROM PendingMessages WHERE Id = ?"_s))
        return fail(query.lastError().text());
    query.addBindValue(id);
    if (!query.exec())
        return fail(query.lastError().text());
    return keepKey(id, logRow);
}

bool PendingMessages::keepRestInTransaction(qint64 id, const QString &rest, qint64 logRow)
{
    QSqlQuery query(m_db);
    if (!query.prepare(u"UPDATE PendingMessages SET Message = ?, Submitted = 0 WHERE Id = ?"_s))
        return fail(query.lastError().text());
    query.addBindValue(rest);
    query.addBindValue(id);
    if (!query.exec())
        return fail(query.lastError().text());
    return keepKey(id, logRow);
}

bool PendingMessages::keepKey(qint64 id, qint64 logRow)
{
    // A message sent in parts keeps the row of its newest part.
    QSqlQuery query(m_db);
    if (!query.prepare(u"INSERT OR REPLACE INTO MessageKeys (Id, LogRow) VALUES (?, ?)"_s))
        return fail(query.lastError().text());
    query.addBindValue(id);
    query.addBindValue(logRow);
    if (!query.exec())
        return fail(query.lastError().text());
    m_lastError.clear();
    return true;
}

bool PendingMessages::markSubmitted(qint64 id, PendingMessage::Submitted how)
{
    QSqlQuery query(m_db);
    if (!query.prepare(u"UPDATE PendingMessages SET Submitted = ? WHERE Id = ?"_s))
        return fail(query.lastError().text());
    query.addBindValue(int(how));
    query.addBindValue(id);
    if (!query.exec())
        return fail(query.lastError().text());
    m_lastError.clear();
    return true;
}

std::optional<QList<PendingMessage>> PendingMessages::readAll() const
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT Id, MobileNumber, Message, CallBackNumber, Submitted FROM "
                       u"PendingMessages ORDER BY Id"_s) ||
        !query.exec()) {
        fail(query.lastError().text());
        return std::nullopt;
    }
    QList<PendingMessage> rows;
    while (query.next())
        rows.append(rowAt(query));
    m_lastError.clear();
    return rows;
}

std::optional<PendingMessage> PendingMessages::read(qint64 id) const
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT Id, MobileNumber, Message, CallBackNumber, Submitted FROM "
                       u"PendingMessages WHERE Id = ?"_s)) {
        fail(query.lastError().text());
        return std::nullopt;
    }
    query.addBindValue(id);
    if (!query.exec()) {
        fail(query.lastError().text());
        return std::nullopt;
    }
    m_lastError.clear();
    if (!query.next())
        return std::nullopt;
    return rowAt(query);
}

std::optional<qint64> PendingMessages::number(const QString &sql, qint64 value) const
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        fail(query.lastError().text());
        return std::nullopt;
    }
    if (sql.contains(u'?'))
        query.addBindValue(value);
    if (!query.exec()) {
        fail(query.lastError().text());
        return std::nullopt;
    }
    m_lastError.clear();
    return query.next() ? query.value(0).toLongLong() : 0;
}

std::optional<qint64> PendingMessages::nextFreeId() const
{
    const std::optional<qint64> highest =
        number(u"SELECT MAX(IFNULL((SELECT MAX(Id) FROM PendingMessages), 0), "
               u"IFNULL((SELECT MAX(Id) FROM MessageKeys), 0))"_s,
               0);
    if (!highest)
        return std::nullopt;
    return *highest + 1;
}

std::optional<qint64> PendingMessages::logRowOf(qint64 id) const
{
    return number(u"SELECT LogRow FROM MessageKeys WHERE Id = ?"_s, id);
}

std::optional<qint64> PendingMessages::idOfLogRow(qint64 logRow) const
{
    return number(u"SELECT Id FROM MessageKeys WHERE LogRow = ?"_s, logRow);
}
