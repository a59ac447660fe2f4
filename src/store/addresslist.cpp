#include "addresslist.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

AddressList::AddressList(QSqlDatabase db) : m_db(std::move(db)) {}

QList<Person> AddressList::readPersons()
{
    QList<Person> persons;
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT DSNummer, Name, NatelNummer FROM Adressen ORDER BY rowid"_s) ||
        !query.exec()) {
        m_lastError = query.lastError().text();
        return persons;
    }
    while (query.next())
        persons.append(Person{query.value(0).toLongLong(), query.value(1), query.value(2)});
    m_lastError.clear();
    return persons;
}
