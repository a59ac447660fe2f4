#pragma once

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

// One person of the address book as the recipient lists need it.
struct Person
{
    qint64 dsNummer = 0;
    QVariant name;        // null when the field holds no value
    QVariant natelNummer; // null when the field holds no value
};

// The persons of table Adressen as the search results, the single pick and
// the bulk pick list them, in the order they were added (rowid). The lists
// hold rowids and read the persons behind them as they are shown.
class AddressList
{
public:
    enum class Listing {
        Everyone,
        // A stored number with at least one digit: blanks or letters alone
        // are no number to send to.
        WithNumber,
    };

    explicit AddressList(QSqlDatabase db);

    // The query of a RowScan over the rows of this listing.
    static QString scanSql(Listing listing);

    // The persons with these rowids; nothing when the table cannot be read.
    std::optional<QHash<qint64, Person>> readByRowid(const QList<qint64> &rowids);
    // Hands each person of the listing with a rowid from `first` to `last`
    // to `take`, in rowid order; false when the table cannot be read.
    bool readBetween(Listing listing, qint64 first, qint64 last,
                     const std::function<void(qint64 rowid, Person person)> &take);

    // Whether the table holds nobody at all; false also when it cannot be
    // read (lastError() says why).
    bool isEmpty();

    // Why the last read failed; empty after a success.
    QString lastError() const { return m_lastError; }

private:
    QSqlDatabase m_db;
    QString m_lastError;
};
