#include "contactstore.h"
#include "storetransaction.h"

#include <QCoreApplication>
#include <QMap>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

QString text(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

// An empty field goes in without value, as the address book leaves a field
// that nobody typed into.
QVariant valueOf(const QString &field)
{
    return field.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(field);
}

bool filled(const QString &field)
{
    return !field.trimmed().isEmpty();
}

// The fields of a later record that replace those of the one it updates:
// every field the file fills, except the number, by which the two were
// found to be one person and whose stored form stays.
void takeFilledFields(ContactRecord &target, const ContactRecord &source)
{
    for (ContactField field : {ContactField::Name, ContactField::Adresse, ContactField::PLZOrt,
                               ContactField::Bemerkungen}) {
        if (filled(source.field(field)))
            target.setField(field, source.field(field));
    }
}

bool samePersons(const QList<ExistingPerson> &a, const QList<ExistingPerson> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a.at(i).dsNummer != b.at(i).dsNummer || a.at(i).natelNummer != b.at(i).natelNummer)
            return false;
    }
    return true;
}

} // namespace

ContactStore::ContactStore(QSqlDatabase db) : m_db(std::move(db)) {}

bool ContactStore::fail(const QString &error)
{
    m_lastError = error.isEmpty() ? QCoreApplication::translate("ContactStore",
                                                                "Unbekannter Fehler der Datenbank")
                                  : error;
    return false;
}

std::optional<QList<ExistingPerson>> ContactStore::existingPersons(QHash<qint64, QString> *names)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT rowid, NatelNummer, Name FROM Adressen ORDER BY rowid"_s) ||
        !query.exec()) {
        fail(query.lastError().text());
        return std::nullopt;
    }
    QList<ExistingPerson> persons;
    while (query.next()) {
        const qint64 rowid = query.value(0).toLongLong();
        persons.append(ExistingPerson{rowid, text(query.value(1))});
        if (names)
            names->insert(rowid, text(query.value(2)));
    }
    m_lastError.clear();
    return persons;
}

std::optional<QList<ContactRecord>> ContactStore::readContacts()
{
    QList<ContactRecord> records;
    if (!read(nullptr, [&](qint64, ContactRecord &&record) { records.append(std::move(record)); }))
        return std::nullopt;
    return records;
}

std::optional<QList<ContactRecord>> ContactStore::readContacts(const QList<qint64> &keys)
{
    QList<ContactRecord> records;
    if (!read(&keys, [&](qint64, ContactRecord &&record) { records.append(std::move(record)); }))
        return std::nullopt;
    return records;
}

std::optional<QHash<qint64, ContactRecord>>
ContactStore::readContactsByKey(const QList<qint64> &keys)
{
    QHash<qint64, ContactRecord> records;
    if (!read(&keys, [&](qint64 key, ContactRecord &&record) {
            if (!records.contains(key))
                records.insert(key, std::move(record));
        }))
        return std::nullopt;
    return records;
}

bool ContactStore::read(const QList<qint64> *keys,
                        const std::function<void(qint64, ContactRecord &&)> &found)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT DSNummer, Name, Adresse, PLZOrt, NatelNummer, Bemerkungen "
                       u"FROM Adressen ORDER BY rowid"_s) ||
        !query.exec())
        return fail(query.lastError().text());
    // One pass over the table, whatever the number of keys: a bulk window
    // may hand over every one of a hundred thousand persons.
    QSet<qint64> wanted;
    if (keys)
        wanted = QSet<qint64>(keys->cbegin(), keys->cend());
    while (query.next()) {
        const qint64 key = query.value(0).toLongLong();
        if (keys && !wanted.contains(key))
            continue;
        found(key, ContactRecord{text(query.value(1)), text(query.value(2)), text(query.value(3)),
                                 text(query.value(4)), text(query.value(5))});
    }
    m_lastError.clear();
    return true;
}

std::optional<ContactRecord> ContactStore::readContact(qint64 key)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(u"SELECT Name, Adresse, PLZOrt, NatelNummer, Bemerkungen FROM Adressen "
                       u"WHERE DSNummer = ? ORDER BY rowid LIMIT 1"_s)) {
        fail(query.lastError().text());
        return std::nullopt;
    }
    query.addBindValue(key);
    if (!query.exec()) {
        fail(query.lastError().text());
        return std::nullopt;
    }
    m_lastError.clear();
    if (!query.next())
        return ContactRecord{};
    return ContactRecord{text(query.value(0)), text(query.value(1)), text(query.value(2)),
                         text(query.value(3)), text(query.value(4))};
}

std::optional<ImportOutcome>
ContactStore::importContacts(const QList<ContactRecord> &records, const ImportPlan &plan,
                             const QList<ExistingPerson> &plannedAgainst,
                             const ImportOptions &options)
{
    StoreTransaction transaction(m_db);
    if (!transaction.isActive()) {
        fail(transaction.error());
        return std::nullopt;
    }
    // Everything below either commits as a whole or is rolled back as the
    // transaction goes out of scope.
    const auto abort = [this](const QString &error) -> std::optional<ImportOutcome> {
        fail(error);
        return std::nullopt;
    };

    const std::optional<QList<ExistingPerson>> existing = existingPersons();
    if (!existing)
        return abort(m_lastError);
    const ImportPlan current =
        samePersons(*existing, plannedAgainst) && plan.items.size() == records.size()
            ? plan
            : planImport(*existing, records);

    const bool update = options.matches == ImportOptions::Matches::Update;
    ImportOutcome outcome;
    QList<ContactRecord> toAdd;
    toAdd.reserve(records.size());
    QList<qsizetype> addedAs(records.size(), -1); // record index -> index into toAdd
    QMap<qint64, ContactRecord> updates;          // rowid -> fields to set, in table order
    for (qsizetype i = 0; i < records.size(); ++i) {
        const PlannedContact &item = current.items.at(i);
        switch (item.status) {
        case ImportStatus::New:
            addedAs[i] = toAdd.size();
            toAdd.append(records.at(i));
            break;
        case ImportStatus::NoNumber:
            if (options.withoutNumber) {
                addedAs[i] = toAdd.size();
                toAdd.append(records.at(i));
            } else {
                ++outcome.skipped;
            }
            break;
        case ImportStatus::RepeatInFile:
            if (update && item.firstIndex >= 0 && addedAs.at(item.firstIndex) >= 0)
                takeFilledFields(toAdd[addedAs.at(item.firstIndex)], records.at(i));
            else
                ++outcome.skipped;
            break;
        case ImportStatus::Match:
            if (update)
                takeFilledFields(updates[item.matchDsNummer], records.at(i));
            else
                ++outcome.skipped;
            break;
        }
    }

    QSqlQuery insert(m_db);
    if (!insert.prepare(u"INSERT INTO Adressen (Name, Adresse, PLZOrt, NatelNummer, Bemerkungen) "
                        u"VALUES (?, ?, ?, ?, ?)"_s))
        return abort(insert.lastError().text());
    QSqlQuery keyQuery(m_db);
    // Whether the table gives new rows their DSNummer is seen at the first
    // row added; a table of another tool leaves it empty, and the rows get
    // the keys after the largest one, in the order of the file.
    std::optional<bool> tableGivesKeys;
    qint64 nextKey = 0;
    for (const ContactRecord &record : std::as_const(toAdd)) {
        insert.addBindValue(valueOf(record.name));
        insert.addBindValue(valueOf(record.adresse));
        insert.addBindValue(valueOf(record.plzOrt));
        insert.addBindValue(valueOf(record.natelNummer));
        insert.addBindValue(valueOf(record.bemerkungen));
        if (!insert.exec())
            return abort(insert.lastError().text());
        const qint64 rowid = insert.lastInsertId().toLongLong();
        if (!tableGivesKeys) {
            if (!keyQuery.prepare(u"SELECT DSNummer IS NOT NULL, "
                                  u"(SELECT COALESCE(MAX(DSNummer), 0) + 1 FROM Adressen) "
                                  u"FROM Adressen WHERE rowid = ?"_s))
                return abort(keyQuery.lastError().text());
            keyQuery.addBindValue(rowid);
            if (!keyQuery.exec() || !keyQuery.next())
                return abort(keyQuery.lastError().text());
            tableGivesKeys = keyQuery.value(0).toBool();
            nextKey = keyQuery.value(1).toLongLong();
            keyQuery.finish();
            if (!*tableGivesKeys &&
                !keyQuery.prepare(u"UPDATE Adressen SET DSNummer = ? WHERE rowid = ?"_s))
                return abort(keyQuery.lastError().text());
        }
        if (!*tableGivesKeys) {
            keyQuery.addBindValue(nextKey++);
            keyQuery.addBindValue(rowid);
            if (!keyQuery.exec())
                return abort(keyQuery.lastError().text());
        }
        ++outcome.added;
    }

    if (!updates.isEmpty()) {
        QSqlQuery change(m_db);
        if (!change.prepare(u"UPDATE Adressen SET Name = COALESCE(?, Name), "
                            u"Adresse = COALESCE(?, Adresse), PLZOrt = COALESCE(?, PLZOrt), "
                            u"Bemerkungen = COALESCE(?, Bemerkungen) WHERE rowid = ?"_s))
            return abort(change.lastError().text());
        for (auto it = updates.cbegin(); it != updates.cend(); ++it) {
            change.addBindValue(valueOf(it->name));
            change.addBindValue(valueOf(it->adresse));
            change.addBindValue(valueOf(it->plzOrt));
            change.addBindValue(valueOf(it->bemerkungen));
            change.addBindValue(it.key());
            if (!change.exec())
                return abort(change.lastError().text());
            ++outcome.updated;
        }
    }

    if (!transaction.commit())
        return abort(transaction.error());
    m_lastError.clear();
    return outcome;
}
