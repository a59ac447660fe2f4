#include "recordview.h"

#include "schema.h"
#include "storetransaction.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace {

// The words of a failure, shared with the settings row ("Store").
QString readFailed()
{
    return QCoreApplication::translate("Store", "Lesen fehlgeschlagen");
}

QString saveFailed()
{
    return QCoreApplication::translate("Store", "Speichern fehlgeschlagen");
}

QString deleteFailed()
{
    return QCoreApplication::translate("Store", "Löschen fehlgeschlagen");
}

QString noLongerThere()
{
    return QCoreApplication::translate(
        "Store",
        "Der Datensatz ist nicht mehr vorhanden oder wurde inzwischen anders gespeichert.");
}

} // namespace

RecordView::RecordView(QSqlDatabase db, QString table, QStringList columns, QObject *parent)
    : QObject(parent), m_db(std::move(db)), m_table(std::move(table)), m_columns(std::move(columns))
{}

RecordView::~RecordView() = default;

void RecordView::setKeyColumn(const QString &column)
{
    m_keyColumn = column;
}

void RecordView::setAddsRecords(bool adds)
{
    m_addsRecords = adds;
}

void RecordView::bind(const QString &column, Binding binding)
{
    if (binding.show)
        binding.show(m_values.value(column));
    m_bindings.insert(column, std::move(binding));
}

QString RecordView::selectList() const
{
    QStringList parts{u"rowid"_s};
    parts.append(m_keyColumn.isEmpty() ? u"NULL"_s : Schema::quoted(m_keyColumn));
    for (const QString &column : m_columns)
        parts.append(Schema::quoted(column));
    return parts.join(u", "_s);
}

bool RecordView::fail(const QString &what, const QString &sqlError)
{
    m_lastError = QCoreApplication::translate("Store", "%1 (Tabelle \"%2\"): %3")
                      .arg(what, m_table, sqlError);
    Q_EMIT failed(m_lastError);
    return false;
}

void RecordView::setCurrent(std::optional<qint64> rowid, QVariant key,
                            QHash<QString, QVariant> values, bool isNew)
{
    m_rowid = rowid;
    m_key = std::move(key);
    m_values = std::move(values);
    m_isNew = isNew;
    for (auto it = m_bindings.cbegin(); it != m_bindings.cend(); ++it) {
        if (it->show)
            it->show(m_values.value(it.key()));
    }
}

bool RecordView::loadWhere(const QString &condition, const QString &order,
                           const std::optional<QVariant> &bound)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    QString sql = u"SELECT "_s + selectList() + u" FROM "_s + Schema::quoted(m_table);
    if (!condition.isEmpty())
        sql += u" WHERE "_s + condition;
    sql += u" ORDER BY rowid "_s + order + u" LIMIT 1"_s;
    if (!query.prepare(sql))
        return fail(readFailed(), query.lastError().text());
    if (bound)
        query.addBindValue(*bound);
    if (!query.exec())
        return fail(readFailed(), query.lastError().text());
    if (!query.next())
        return false;
    QHash<QString, QVariant> values;
    for (int i = 0; i < m_columns.size(); ++i)
        values.insert(m_columns.at(i), query.value(i + 2));
    setCurrent(query.value(0).toLongLong(), query.value(1), std::move(values), false);
    return true;
}

QString RecordView::currentRowCondition() const
{
    // The rowid finds the row; the key makes sure it is still the record that
    // was read (another program may have rebuilt the table meanwhile).
    QString condition = u"rowid = ?"_s;
    if (!m_keyColumn.isEmpty())
        condition += u" AND "_s + Schema::quoted(m_keyColumn) + u" IS ?"_s;
    return condition;
}

void RecordView::bindCurrentRow(QSqlQuery &query) const
{
    query.addBindValue(*m_rowid);
    if (!m_keyColumn.isEmpty())
        query.addBindValue(m_key);
}

bool RecordView::save()
{
    // Typing into the empty fields of an empty table starts a new record,
    // so that nothing typed there is lost.
    const bool asNew = m_isNew || !m_rowid;
    QStringList changedColumns;
    QVariantList changedValues;
    for (auto it = m_bindings.cbegin(); it != m_bindings.cend(); ++it) {
        if (!it->text)
            continue;
        const QString text = it->text();
        if (text != m_values.value(it.key()).toString()) {
            changedColumns.append(it.key());
            changedValues.append(text);
        }
    }
    if (changedColumns.isEmpty())
        return true;

    if (asNew) {
        // A table whose rows the program never adds (the settings row that
        // vanished) gets no row in its place: the edit is refused.
        if (!m_addsRecords)
            return fail(saveFailed(), noLongerThere());
        if (!insert(changedColumns, changedValues))
            return false;
    } else {
        QStringList sets;
        for (const QString &column : std::as_const(changedColumns))
            sets.append(Schema::quoted(column) + u" = ?"_s);
        QSqlQuery query(m_db);
        if (!query.prepare(u"UPDATE "_s + Schema::quoted(m_table) + u" SET "_s +
                           sets.join(u", "_s) + u" WHERE "_s + currentRowCondition()))
            return fail(saveFailed(), query.lastError().text());
        for (const QVariant &value : std::as_const(changedValues))
            query.addBindValue(value);
        bindCurrentRow(query);
        if (!query.exec())
            return fail(saveFailed(), query.lastError().text());
        if (query.numRowsAffected() < 1)
            return fail(saveFailed(), noLongerThere());
    }
    for (int i = 0; i < changedColumns.size(); ++i)
        m_values.insert(changedColumns.at(i), changedValues.at(i));
    return true;
}

bool RecordView::insert(const QStringList &columns, const QVariantList &values)
{
    // The row and its key go in together or not at all.
    StoreTransaction transaction(m_db);
    if (!transaction.isActive())
        return fail(saveFailed(), transaction.error());
    QStringList names;
    QStringList marks;
    for (const QString &column : columns) {
        names.append(Schema::quoted(column));
        marks.append(u"?"_s);
    }
    QSqlQuery query(m_db);
    if (!query.prepare(u"INSERT INTO "_s + Schema::quoted(m_table) + u" ("_s + names.join(u", "_s) +
                       u") VALUES ("_s + marks.join(u", "_s) + u")"_s))
        return fail(saveFailed(), query.lastError().text());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return fail(saveFailed(), query.lastError().text());
    const qint64 rowid = query.lastInsertId().toLongLong();
    if (!assignKey(rowid))
        return false;
    if (!transaction.commit())
        return fail(saveFailed(), transaction.error());
    m_rowid = rowid;
    m_isNew = false;
    return true;
}

bool RecordView::assignKey(qint64 rowid)
{
    m_key = QVariant();
    if (m_keyColumn.isEmpty())
        return true;
    const QString key = Schema::quoted(m_keyColumn);
    const QString table = Schema::quoted(m_table);
    QSqlQuery query(m_db);
    // A key column of the program's own tables is filled by the database;
    // a plain column of a table made by another tool stays empty, and the
    // new row takes the next key after the largest one.
    if (!query.prepare(u"UPDATE "_s + table + u" SET "_s + key + u" = (SELECT COALESCE(MAX("_s +
                       key + u"), 0) + 1 FROM "_s + table + u") WHERE rowid = ? AND "_s + key +
                       u" IS NULL"_s))
        return fail(saveFailed(), query.lastError().text());
    query.addBindValue(rowid);
    if (!query.exec())
        return fail(saveFailed(), query.lastError().text());
    if (!query.prepare(u"SELECT "_s + key + u" FROM "_s + table + u" WHERE rowid = ?"_s))
        return fail(saveFailed(), query.lastError().text());
    query.addBindValue(rowid);
    if (!query.exec())
        return fail(saveFailed(), query.lastError().text());
    if (query.next())
        m_key = query.value(0);
    return true;
}

bool RecordView::refresh()
{
    if (!save())
        return false;
    return moveFirst();
}

bool RecordView::moveFirst()
{
    if (!save())
        return false;
    m_lastError.clear();
    if (loadWhere(QString(), u"ASC"_s, std::nullopt))
        return true;
    if (m_lastError.isEmpty())
        setCurrent(std::nullopt, QVariant(), {}, false); // empty table: the fields show nothing
    return false;
}

bool RecordView::moveLast()
{
    if (!save())
        return false;
    m_lastError.clear();
    if (loadWhere(QString(), u"DESC"_s, std::nullopt))
        return true;
    if (m_lastError.isEmpty())
        setCurrent(std::nullopt, QVariant(), {}, false);
    return false;
}

bool RecordView::moveNext()
{
    if (!m_rowid)
        return moveFirst();
    if (!save())
        return false;
    return loadWhere(u"rowid > ?"_s, u"ASC"_s, QVariant(*m_rowid));
}

bool RecordView::movePrevious()
{
    if (!m_rowid)
        return moveFirst();
    if (!save())
        return false;
    return loadWhere(u"rowid < ?"_s, u"DESC"_s, QVariant(*m_rowid));
}

bool RecordView::moveToKey(qint64 key)
{
    if (m_keyColumn.isEmpty())
        return false;
    if (!save())
        return false;
    return loadWhere(Schema::quoted(m_keyColumn) + u" = ?"_s, u"ASC"_s, QVariant(key));
}

bool RecordView::findFirst(const QString &column, const QVariant &value)
{
    if (!m_columns.contains(column))
        return false;
    if (!save())
        return false;
    return loadWhere(Schema::quoted(column) + u" = ?"_s, u"ASC"_s, value);
}

bool RecordView::addNew()
{
    if (!m_addsRecords)
        return false;
    if (!save())
        return false;
    setCurrent(std::nullopt, QVariant(), {}, true);
    return true;
}

bool RecordView::deleteCurrent()
{
    if (m_isNew) {
        // Nothing stored yet: dropping the new record is the whole deletion.
        setCurrent(std::nullopt, QVariant(), {}, false);
        return true;
    }
    if (!m_rowid)
        return false;
    QSqlQuery query(m_db);
    if (!query.prepare(u"DELETE FROM "_s + Schema::quoted(m_table) + u" WHERE "_s +
                       currentRowCondition()))
        return fail(deleteFailed(), query.lastError().text());
    bindCurrentRow(query);
    if (!query.exec())
        return fail(deleteFailed(), query.lastError().text());
    if (query.numRowsAffected() < 1)
        return fail(deleteFailed(), noLongerThere());
    setCurrent(std::nullopt, QVariant(), {}, false);
    return true;
}

bool RecordView::hasRecords() const
{
    QSqlQuery query(m_db);
    if (!query.exec(u"SELECT 1 FROM "_s + Schema::quoted(m_table) + u" LIMIT 1"_s))
        return false;
    return query.next();
}
