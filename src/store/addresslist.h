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

// The persons of table Adressen as the search results, the single pick and
// the bulk pick list them.
class AddressList
{
public:
    explicit AddressList(QSqlDatabase db);

    // Every person in the order they were added, in one pass; none, and
    // lastError() set, when the table cannot be read.
    QList<Person> readPersons();
    // Why the last read failed; empty after a success.
    QString lastError() const { return m_lastError; }

private:
    QSqlDatabase m_db;
    QString m_lastError;
};
