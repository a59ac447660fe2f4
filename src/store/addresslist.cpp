#include "addresslist.h"

#include <QSqlError>
#include <QSqlQuery>

QList<Person> readPersons(QSqlDatabase db, bool *ok, QString *error)
{
    QList<Person> persons;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const bool success =
        query.exec(u"SELECT DSNummer, Name, NatelNummer FROM Adressen ORDER BY rowid"_qs);
    if (!success && error)
        *error = query.lastError().text();
    while (success && query.next())
        persons.append(Person{query.value(0).toLongLong(), query.value(1), query.value(2)});
    if (ok)
        *ok = success;
    return persons;
}
