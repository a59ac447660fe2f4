#include "recordview.h"

#include "schema.h"

#include <QSqlError>
#include <QSqlQuery>

RecordView::RecordView(QSqlDatabase db, QString table, QStringList columns, QObject *parent)
    : QObject(parent), m_db(std::move(db)), m_table(std::move(table)), m_columns(std::move(columns))
{}

RecordView::~RecordView() = default;

void RecordView::bind(const QString &column, Binding binding)
{
    if (binding.show)
        binding.show(m_values.value(column));
    m_bindings.insert(column, std::move(binding));
}

QString RecordView::selectList() const
{
    QStringList parts{u"rowid"_qs};
    for (const QString &column : m_columns)
        parts.append(Schema::quoted(column));
    return parts.join(u", "_qs);
}

bool RecordView::fail(const QString &what, const QString &sqlError)
{
    m_lastError = u"%1 (Tabelle \"%2\"): %3"_qs.arg(what, m_table, sqlError);
    Q_EMIT failed(m_lastError);
    return false;
}

void RecordView::setCurrent(std::optional<qint64> rowid, QHash<QString, QVariant> values,
                            bool isNew)
{
    m_rowid = rowid;
    m_values = std::move(values);
    m_isNew = isNew;
    for (auto it = m_bindings.cbegin(); it != m_bindings.cend(); ++it) {
        if (it->show)
            it->show(m_values.value(it.key()));
    }
    Q_EMIT currentChanged();
}

bool RecordView::loadWhere(const QString &condition, const QString &order,
                           const std::optional<QVariant> &bound)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    QString sql = u"SELECT "_qs + selectList() + u" FROM "_qs + Schema::quoted(m_table);
    if (!condition.isEmpty())
        sql += u" WHERE "_qs + condition;
    sql += u" ORDER BY rowid "_qs + order + u" LIMIT 1"_qs;
    if (!query.prepare(sql))
        return fail(u"Lesen fehlgeschlagen"_qs, query.lastError().text());
    if (bound)
        query.addBindValue(*bound);
    if (!query.exec())
        return fail(u"Lesen fehlgeschlagen"_qs, query.lastError().text());
    if (!query.next())
        return false;
    QHash<QString, QVariant> values;
    for (int i = 0; i < m_columns.size(); ++i)
        values.insert(m_columns.at(i), query.value(i + 1));
    setCurrent(query.value(0).toLongLong(), std::move(values), false);
    return true;
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

    QSqlQuery query(m_db);
    if (asNew) {
        QStringList names;
        QStringList marks;
        for (const QString &column : std::as_const(changedColumns)) {
            names.append(Schema::quoted(column));
            marks.append(u"?"_qs);
        }
        query.prepare(u"INSERT INTO "_qs + Schema::quoted(m_table) + u" ("_qs +
                      names.join(u", "_qs) + u") VALUES ("_qs + marks.join(u", "_qs) + u")"_qs);
    } else {
        QStringList sets;
        for (const QString &column : std::as_const(changedColumns))
            sets.append(Schema::quoted(column) + u" = ?"_qs);
        query.prepare(u"UPDATE "_qs + Schema::quoted(m_table) + u" SET "_qs + sets.join(u", "_qs) +
                      u" WHERE rowid = ?"_qs);
    }
    for (const QVariant &value : std::as_const(changedValues))
        query.addBindValue(value);
    if (!asNew)
        query.addBindValue(*m_rowid);
    if (!query.exec())
        return fail(u"Speichern fehlgeschlagen"_qs, query.lastError().text());

    if (asNew) {
        m_rowid = query.lastInsertId().toLongLong();
        m_isNew = false;
    }
    for (int i = 0; i < changedColumns.size(); ++i)
        m_values.insert(changedColumns.at(i), changedValues.at(i));
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
    if (loadWhere(QString(), u"ASC"_qs, std::nullopt))
        return true;
    if (m_lastError.isEmpty())
        setCurrent(std::nullopt, {}, false); // empty table: the fields show nothing
    return false;
}

bool RecordView::moveLast()
{
    if (!save())
        return false;
    m_lastError.clear();
    if (loadWhere(QString(), u"DESC"_qs, std::nullopt))
        return true;
    if (m_lastError.isEmpty())
        setCurrent(std::nullopt, {}, false);
    return false;
}

bool RecordView::moveNext()
{
    if (!m_rowid)
        return moveFirst();
    if (!save())
        return false;
    return loadWhere(u"rowid > ?"_qs, u"ASC"_qs, QVariant(*m_rowid));
}

bool RecordView::movePrevious()
{
    if (!m_rowid)
        return moveFirst();
    if (!save())
        return false;
    return loadWhere(u"rowid < ?"_qs, u"DESC"_qs, QVariant(*m_rowid));
}

bool RecordView::moveTo(qint64 rowid)
{
    if (!save())
        return false;
    return loadWhere(u"rowid = ?"_qs, u"ASC"_qs, QVariant(rowid));
}

bool RecordView::findFirst(const QString &column, const QVariant &value)
{
    if (!m_columns.contains(column))
        return false;
    if (!save())
        return false;
    return loadWhere(Schema::quoted(column) + u" = ?"_qs, u"ASC"_qs, value);
}

bool RecordView::addNew()
{
    if (!save())
        return false;
    setCurrent(std::nullopt, {}, true);
    return true;
}

bool RecordView::deleteCurrent()
{
    if (m_isNew) {
        // Nothing stored yet: dropping the new record is the whole deletion.
        setCurrent(std::nullopt, {}, false);
        return true;
    }
    if (!m_rowid)
        return false;
    QSqlQuery query(m_db);
    query.prepare(u"DELETE FROM "_qs + Schema::quoted(m_table) + u" WHERE rowid = ?"_qs);
    query.addBindValue(*m_rowid);
    if (!query.exec())
        return fail(u"Löschen fehlgeschlagen"_qs, query.lastError().text());
    setCurrent(std::nullopt, {}, false);
    return true;
}

bool RecordView::hasRecords() const
{
    QSqlQuery query(m_db);
    if (!query.exec(u"SELECT 1 FROM "_qs + Schema::quoted(m_table) + u" LIMIT 1"_qs))
        return false;
    return query.next();
}
