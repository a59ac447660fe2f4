#include "concatenationprogress.h"

#include "storeconnection.h"
#include "storetransaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

const QString referenceField = u"GsmReference"_s;
const QString acceptedField = u"GsmPartsAccepted"_s;

} // namespace

ConcatenationProgress::ConcatenationProgress(const QString &databasePath)
{
    if (databasePath.isEmpty())
        return;
    m_connection = std::make_unique<StoreConnection>(databasePath, u"Teilnachrichten"_s);
    if (!m_connection->isOpen()) {
        qWarning("ConcatenationProgress: %s", qPrintable(m_connection->lastError()));
        m_connection.reset();
    }
}

ConcatenationProgress::~ConcatenationProgress() = default;

std::optional<ConcatenationProgress::Parts> ConcatenationProgress::parts(quint64 entryId)
{
    if (const auto found = m_parts.constFind(entryId); found != m_parts.cend())
        return *found;
    // An entry of an earlier run: its row may tell.
    if (!m_connection ||
        !m_connection->database().record(u"PendingMessages"_s).contains(acceptedField))
        return std::nullopt;
    QSqlQuery query(m_connection->database());
    if (!query.prepare(u"SELECT GsmReference, GsmPartsAccepted FROM PendingMessages "
                       u"WHERE Id = ? AND GsmPartsAccepted > 0"_s))
        return std::nullopt;
    query.addBindValue(qint64(entryId));
    if (!query.exec() || !query.next())
        return std::nullopt;
    const Parts stored{quint8(query.value(0).toUInt()), query.value(1).toInt()};
    m_parts.insert(entryId, stored);
    return stored;
}

void ConcatenationProgress::setParts(quint64 entryId, Parts parts)
{
    m_parts.insert(entryId, parts);
    storeParts(entryId, parts);
}

void ConcatenationProgress::forget(quint64 entryId)
{
    if (m_parts.remove(entryId) > 0)
        storeParts(entryId, std::nullopt);
}

quint8 ConcatenationProgress::takeReference()
{
    if (!m_nextReference) {
        m_nextReference = 0;
        if (m_connection) {
            QSqlQuery query(m_connection->database());
            if (query.prepare(u"SELECT NextReference FROM GsmConcatenation"_s) && query.exec() &&
                query.next())
                m_nextReference = quint8(query.value(0).toUInt());
        }
    }
    const quint8 reference = (*m_nextReference)++;
    if (m_connection) {
        QSqlDatabase db = m_connection->database();
        StoreTransaction transaction(db);
        QSqlQuery query(db);
        const bool stored =
            transaction.isActive() &&
            query.prepare(u"CREATE TABLE IF NOT EXISTS GsmConcatenation "
                          u"(NextReference INTEGER NOT NULL)"_s) &&
            query.exec() && query.prepare(u"DELETE FROM GsmConcatenation"_s) && query.exec() &&
            query.prepare(u"INSERT INTO GsmConcatenation (NextReference) VALUES (?)"_s) &&
            (query.addBindValue(int(*m_nextReference)), query.exec()) && transaction.commit();
        if (!stored) {
            qWarning("ConcatenationProgress: reference not stored: %s",
                     qPrintable(transaction.error().isEmpty() ? query.lastError().text()
                                                              : transaction.error()));
        }
    }
    return reference;
}

bool ConcatenationProgress::ensureColumns()
{
    if (m_columnsChecked)
        return true;
    const QSqlDatabase db = m_connection->database();
    const QSqlRecord record = db.record(u"PendingMessages"_s);
    if (record.isEmpty())
        return false; // the queue is kept in memory only: so are its parts
    for (const QString &field : {referenceField, acceptedField}) {
        if (record.contains(field))
            continue;
        QSqlQuery query(db);
        if (!query.prepare(u"ALTER TABLE PendingMessages ADD COLUMN "_s + field + u" INTEGER"_s) ||
            !query.exec()) {
            qWarning("ConcatenationProgress: %s", qPrintable(query.lastError().text()));
            return false;
        }
    }
    m_columnsChecked = true;
    return true;
}

bool ConcatenationProgress::storeParts(quint64 entryId, const std::optional<Parts> &parts)
{
    if (!m_connection || !ensureColumns())
        return false;
    QSqlQuery query(m_connection->database());
    if (!query.prepare(u"UPDATE PendingMessages SET GsmReference = ?, GsmPartsAccepted = ? "
                       u"WHERE Id = ?"_s))
        return false;
    query.addBindValue(parts ? QVariant(int(parts->reference)) : QVariant());
    query.addBindValue(parts ? QVariant(parts->accepted) : QVariant());
    query.addBindValue(qint64(entryId));
    if (!query.exec()) {
        qWarning("ConcatenationProgress: %s", qPrintable(query.lastError().text()));
        return false;
    }
    return true;
}
