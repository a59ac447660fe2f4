#pragma once

#include "contactrecord.h"
#include "importplan.h"

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <optional>

// What the user chose in the import preview.
struct ImportOptions
{
    enum class Matches {
        Skip,   // a person whose number is already stored is left out
        Update, // the stored person takes the file's filled fields
    };
    Matches matches = Matches::Skip;
    // Persons without a usable number are added all the same (they are
    // listed nowhere as recipients, but nothing of the file is lost).
    bool withoutNumber = true;
};

// What an import wrote.
struct ImportOutcome
{
    int added = 0;   // new rows
    int updated = 0; // stored persons whose fields the file filled in
    int skipped = 0; // records of the file written nowhere

    friend bool operator==(const ImportOutcome &, const ImportOutcome &) = default;
};

// Table Adressen as the import and the export see it: whole persons rather
// than the bound fields of one record. Values go in as bound parameters only.
//
// For the duplicate check a stored person is known by its rowid, not by
// DSNummer: a table made by another tool may hold a key twice or not at all,
// and an update has to reach exactly the row that was compared.
class ContactStore
{
public:
    explicit ContactStore(QSqlDatabase db);

    // Every person's rowid (as ExistingPerson::dsNummer) and number, in table
    // order; with names, the name of each by rowid (for the preview).
    std::optional<QList<ExistingPerson>> existingPersons(QHash<qint64, QString> *names = nullptr);
    // Every person in table order; with keys, only those whose DSNummer is
    // one of them (still in table order, each row once).
    std::optional<QList<ContactRecord>> readContacts();
    std::optional<QList<ContactRecord>> readContacts(const QList<qint64> &keys);
    // The first person in table order with this DSNummer; an empty record
    // when there is none.
    std::optional<ContactRecord> readContact(qint64 key);
    // The same for many keys in one pass: the first person with each key
    // (keys that no row has are missing from the result).
    std::optional<QHash<qint64, ContactRecord>> readContactsByKey(const QList<qint64> &keys);

    // Writes the records as the plan and the options say, in one
    // transaction: on any failure nothing is written and lastError() tells
    // why. The plan is the one the preview showed; should the table no
    // longer hold the persons it was made against (plannedAgainst), the
    // records are planned afresh inside the transaction.
    //
    // A new record becomes a new row (its empty fields stay without value,
    // as in a record typed into the address book), its DSNummer given by the
    // table or, in a table of another tool, the largest key + 1. Updating a
    // stored person sets the fields the file fills (Name, Adresse, PLZOrt,
    // Bemerkungen) and keeps the stored ones the file leaves empty; the
    // stored number keeps its form. A record whose number an earlier record
    // of the file has is treated the same way against that record: left
    // out, or with Update its filled fields replace the earlier record's.
    std::optional<ImportOutcome> importContacts(const QList<ContactRecord> &records,
                                                const ImportPlan &plan,
                                                const QList<ExistingPerson> &plannedAgainst,
                                                const ImportOptions &options);

    // Why the last operation failed (the database's own words); empty after
    // a success.
    QString lastError() const { return m_lastError; }

private:
    // Calls found(key, record) for each row in table order (only rows with
    // one of the keys, when given).
    bool read(const QList<qint64> *keys,
              const std::function<void(qint64, ContactRecord &&)> &found);
    bool fail(const QString &error);

    QSqlDatabase m_db;
    QString m_lastError;
};
