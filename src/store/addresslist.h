#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

// One person of the address book as the recipient lists need it.
struct Person
{
    qint64 dsNummer = 0;
    QVariant name;        // null when the field holds no value
    QVariant natelNummer; // null when the field holds no value
};

// Reads every person of table Adressen in the order they were added, in one
// pass, for the search results, the single pick and the bulk pick.
QList<Person> readPersons(QSqlDatabase db, bool *ok = nullptr, QString *error = nullptr);
