#include "addresslist.h"

#include "rowpages.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// GLOB's [0-9] is the same test as NurZiffern's: ASCII digits only.
QString listingCondition(AddressList::Listing listing)
{
    return listing == AddressList::Listing::WithNumber ? u" AND NatelNummer GLOB '*[0-9]*'"_s
                                                       : QString();
}

Person personAt(const QSqlQuery &query, int first)
{
    return Person{query.value(first).toLongLong(), query.value(first + 1), query.value(first + 2)};
}

} // namespace

AddressList::AddressList(QSqlDatabase db) : m_db(std::move(db)) {}

QString AddressList::scanSql(Listing listing)
{
    return u"SELECT rowid FROM Adressen WHERE rowid > :after"_s + listingCondition(listing) +
           u" ORDER BY rowid LIMIT :limit"_s;
}

std::optional<QHash<qint64, Person>> AddressList::readByRowid(const QList<qint64> &rowids)
{
    return ::readByRowid<Person>(
        m_db, u"DSNummer, Name, NatelNummer FROM Adressen"_s, rowids,
        [](const QSqlQuery &query) { return personAt(query, 1); }, &m_lastError);
}

bool AddressList::readBetween(Listing listing, qint64 first, qint64 last,
                              const std::function<void(qint64, Person)> &take)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT rowid, DSNummer, Name, NatelNummer FROM Adressen "
                       u"WHERE rowid BETWEEN :first AND :last"_s +
                       listingCondition(listing) + u" ORDER BY rowid"_s)) {
        m_lastError = query.lastError().text();
        return false;
    }
    query.bindValue(u":first"_s, first);
    query.bindValue(u":last"_s, last);
    if (!query.exec()) {
        m_lastError = query.lastError().text();
        return false;
    }
    while (query.next())
        take(query.value(0).toLongLong(), personAt(query, 1));
    m_lastError.clear();
    return true;
}

bool AddressList::isEmpty()
{
    QSqlQuery query(m_db);
    if (!query.exec(u"SELECT EXISTS (SELECT 1 FROM Adressen)"_s) || !query.next()) {
        m_lastError = query.lastError().text();
        return false;
    }
    m_lastError.clear();
    return !query.value(0).toBool();
}
